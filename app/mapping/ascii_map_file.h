// ASCII data map files (".txm"), written for people to read and edit: a version header,
// a [Map] section with one item per line and an [Options] section with the four option
// switches. Lines end with CR LF when written; CR, LF or CR LF are accepted.
//
// The reader collects the items in a map of its own and hands them to the caller's map only
// once the whole text has been read: a refused file leaves the caller's map as it was. Lines
// it cannot read are skipped and reported (file, line, field). The writer replaces the file
// whole (temporary file, flush, rename). All functions run on the thread that owns the map.
#pragma once

#include "mapping/data_map.h"
#include "mapping/map_file_result.h"

#include <string>
#include <string_view>

namespace corvex {

// Reads the file at `path` into `map`, replacing its items or appending to them; its
// options become the ones the file sets (those it does not mention are kept). `quiet` leaves
// out the messages for a file that cannot be read or has no map header.
MapFileResult readAsciiMap(DataMap& map, const std::string& path, bool append, bool quiet);

// The same for text already in memory; `name` is used in messages.
MapFileResult readAsciiMapText(DataMap& map, std::string_view text, const std::string& name,
                               bool append, bool quiet);

// The file's text for `map`.
std::string asciiMapText(const DataMap& map);

MapFileResult writeAsciiMap(const DataMap& map, const std::string& path);

} // namespace corvex
