#include "mapping/map_message_types.h"

#include "mapping/text_compare.h"

#include <array>

namespace corvex {

namespace {

constexpr std::array<std::string_view, 16> kNames = {
    "",     "NoteOff", "NoteOn",  "KeyAft", "Ctrl",  "ProgChg", "ChanAft", "PitchB",
    "NRPN", "SysEx",   "Discard", "SPP",    "Start", "Cont",    "Stop",    "RPN"};

} // namespace

std::string_view mapMessageName(uint8_t type) {
    if (type == MAP_ANY) {
        return "*";
    }
    return type < kNames.size() ? kNames[type] : std::string_view{};
}

std::optional<uint8_t> mapMessageByName(std::string_view name) {
    if (name == "*" || equalsIgnoringCase(name, "Any") || equalsIgnoringCase(name, "MatchInput")) {
        return MAP_ANY;
    }
    for (size_t type = 1; type < kNames.size(); ++type) {
        if (equalsIgnoringCase(name, kNames[type])) {
            return static_cast<uint8_t>(type);
        }
    }
    return std::nullopt;
}

} // namespace corvex
