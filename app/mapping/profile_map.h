// The data map in a profile (INI) file, in one section (normally "Data Map"): the switches
// and options as numbers, one key "Map%d" per item (thirteen numbers, then the name of the
// key holding its SysEx entry as hex text, "Syx%d"). Version 5 is written; the line layouts
// of versions 2-5 are read.
//
// Run on the thread that owns the map and the document.
#pragma once

#include "ini/profile_document.h"
#include "mapping/data_map.h"
#include "mapping/map_file_result.h"

#include <string>
#include <string_view>

namespace corvex {

inline constexpr char kProfileMapSection[] = "Data Map";

// Writes `map` into `section` of `profile`; item and SysEx keys of a larger map written
// there before are removed.
void writeProfileMap(const DataMap& map, cvx::profile::ProfileDocument& profile,
                     std::string_view section);

// Reads the map of `section` into `map`, replacing its items, switches and options. Without
// a "MapVersion" of 2-5 nothing is read (ok false, no message). Items whose key cannot be
// read are left out and reported in `problems`; a map too large for the engine is refused
// with `message`, and `map` stays as it was. `name` is the profile's name for messages.
MapFileResult readProfileMap(DataMap& map, const cvx::profile::ProfileDocument& profile,
                             std::string_view section, const std::string& name);

// The same on a profile file: reading a missing file reads nothing; writing replaces the
// file whole and reports failure with a message.
MapFileResult readProfileMapFile(DataMap& map, const std::string& path, std::string_view section);
MapFileResult writeProfileMapFile(const DataMap& map, const std::string& path,
                                  std::string_view section);

} // namespace corvex
