// Binary data map files (".vxm"): a 16-byte header ("CvxMap", version, item count, options,
// offset of the SysEx pool image), the 24-byte MapItem records, then the pool image. Version
// 5 is written; versions 1-5 are read, the older ones converted.
//
// Readers check every count and offset against the file and refuse a damaged file with a
// message naming it and what is wrong. A refused or failed read leaves the caller's map as
// it was; a successful one replaces its items (or appends to them) and sets its options.
// Writers replace the file whole (temporary file, flush, rename): a failed write leaves the
// previous file as it was. All functions run on the thread that owns the map.
#pragma once

#include "mapping/data_map.h"
#include "mapping/map_file_result.h"

#include <cstdint>
#include <span>
#include <string>

namespace corvex {

// Reads the file at `path` into `map`. `append` adds the items after the map's own;
// `quiet` leaves out the messages for a file that cannot be read or is not a map file (used
// when probing a file of unknown type). A version other than 1-5, a damaged file and a map
// too large for the engine are reported even when quiet.
MapFileResult readBinaryMap(DataMap& map, const std::string& path, bool append, bool quiet);

// The same for a file's bytes already in memory; `name` is used in messages.
MapFileResult readBinaryMapImage(DataMap& map, std::span<const uint8_t> file,
                                 const std::string& name, bool append, bool quiet);

// The bytes of the version 5 file of `map`. The pool image is written when the map has a
// pool (also when it holds no entry).
std::string binaryMapImage(const DataMap& map);

MapFileResult writeBinaryMap(const DataMap& map, const std::string& path);

} // namespace corvex
