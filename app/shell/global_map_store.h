// The global data map kept with an instance's settings: the value "Map Parms v2" (22 bytes,
// little-endian: i32 version 5, i32 item size 24, i32 mapIsOn, i32 mapKeys, i32 itemCount,
// u16 mapOptions) and the items in the binary map file "_CVXSYSMAP<n>.vxm" of the engine
// settings folder, whose path is the value "Sys Map File".
//
// Plain functions; call from the user-interface thread.
#pragma once

#include "mapping/data_map.h"
#include "settings_profile.h"

#include <string>

namespace corvex {

inline constexpr size_t kMapParmsBytes = 22;

// Reads the stored map into `map`: the items when the stored version is 3 or 5 and the
// count is above 0, then the switches and options whatever the file held. Returns a
// message for the user when the map file could not be read (the switches are still
// taken); empty otherwise. Without a stored value `map` is left as it is.
std::string loadStoredGlobalMap(const DataMapSettings& stored, DataMap& map);

// Writes the items to the instance's map file (when there are any) and records the
// switches and that file in `stored`. False when the map file could not be written
// (`stored` then keeps the previous file).
bool storeGlobalMap(DataMap& map, int instance, DataMapSettings& stored);

} // namespace corvex
