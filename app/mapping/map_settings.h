// The global data map kept between runs: the binary value "Map Parms v2" (version, item
// size, switches, item count and options; 22 bytes) in the instance's "Data Map" key, and
// the items with their SysEx entries in a private binary map file "_CVXSYSMAP<n>.vxm" in
// the engine settings folder, whose path is the string value "Sys Map File".
//
// Run on the thread that owns the map (the user-interface thread).
#pragma once

#include "mapping/data_map.h"
#include "mapping/map_file_result.h"
#include "settings/settings_store.h"
#include "settings_profile.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvex {

inline constexpr char kMapParmsValue[] = "Map Parms v2";
inline constexpr char kSysMapFileValue[] = "Sys Map File";
inline constexpr size_t kMapParmsSize = 22;

// The private map file of profile `profileNumber`; empty when there is no engine folder.
std::string privateMapPath(int profileNumber);

// The "Map Parms v2" bytes of `map`.
std::vector<uint8_t> mapParms(const DataMap& map);

// Loads the stored map into `map`. Without stored parameters (or with a layout other than
// versions 3 and 5) nothing changes. With a count above 0 the private file is read (a
// failure leaves the items as they were and is reported); with a count of 0 the items are
// removed. The switches and options are then set from the parameters.
MapFileResult readMapSettings(DataMap& map, const DataMapSettings& stored);

// Writes the private file of `profileNumber` (replacing it whole) and puts the parameters
// and the file's path into `stored`. A file that cannot be written is reported and the
// previous file stays as it was.
MapFileResult writeMapSettings(const DataMap& map, DataMapSettings& stored, int profileNumber);

// The same directly on the store, in the key `dataMapKey` (the instance's "Data Map").
MapFileResult readMapSettings(DataMap& map, SettingsStore& store, std::string_view dataMapKey);
MapFileResult writeMapSettings(const DataMap& map, SettingsStore& store,
                               std::string_view dataMapKey, int profileNumber);

} // namespace corvex
