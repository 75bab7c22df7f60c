// One map item as a line of an ASCII map file: fourteen comma-separated fields (thirteen in
// version 4 files, which have no Delay field), then ">" and "<" for the pull flags. Discard
// and SysEx targets take a shorter form; a SysEx target ends with its entry as hex text.
// Pure functions: any thread.
#pragma once

#include "mapping/data_map.h"

#include <optional>
#include <string>
#include <string_view>

namespace corvex {

// The line for `row`, without a line end.
std::string formatItemLine(const MapRow& row);

struct ItemLineReading {
    std::optional<MapRow> row; // the item, when every field was understood
    std::string field;         // otherwise the first field in error ("Source Channel", ...)
    std::string value;         // and the text found there (empty when the line ended)
};

// Reads a line of the Map section. Fields are separated by runs of spaces, tabs, commas and
// semicolons; the hex text of a SysEx target runs to the end of the line or a ";".
ItemLineReading parseItemLine(std::string_view line, int version);

} // namespace corvex
