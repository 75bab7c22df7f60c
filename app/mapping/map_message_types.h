// The names of the map message types (MapMessageType) as users read and write them in map
// files, the map editor's lists and the map listing. Pure functions: any thread.
#pragma once

#include "cvx_records.h"

#include <optional>
#include <string_view>

namespace corvex {

// "NoteOff" ... "RPN" for 1-15 and "*" for 255; empty for values that name no type.
std::string_view mapMessageName(uint8_t type);

// The type a name stands for, compared without regard to case: the names above, and "*",
// "Any" and "MatchInput" for 255. Nothing for any other text.
std::optional<uint8_t> mapMessageByName(std::string_view name);

// Whether a type may stand in an item's source position: SysEx and Discard only produce.
inline bool isSourceType(uint8_t type) {
    return type != MAP_SYSEX && type != MAP_DISCARD;
}

} // namespace corvex
