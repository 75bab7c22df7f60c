// Loading a data map from a file whose format a file dialog's filter or the file's name
// decides, as the map editor's Load command and the automation interface do it. Runs on the
// thread that owns the map.
#pragma once

#include "mapping/data_map.h"
#include "mapping/map_file_result.h"

#include <string>

namespace corvex {

enum class MapFileFormat {
    Binary,      // ".vxm"
    Ascii,       // ".txm"
    ByExtension, // ".vxm" binary, ".txm" ASCII, anything else tried as both
};

// Reads `path` into `map`. By extension, a file named neither way is first read as binary
// and then as ASCII, both quietly; when neither takes it the message is
// "Unknown Map file type: '<path>'" (after any message the binary reader gave even quietly,
// such as an unknown version). `quiet` leaves out that message and the readers' quiet ones.
MapFileResult loadMapFile(DataMap& map, const std::string& path, MapFileFormat format, bool append,
                          bool quiet);

} // namespace corvex
