// The channel argument of corvex-thru: which MIDI channels pass, as a 16-bit mask (bit n =
// channel n + 1), written as a list of channels and ranges ("1", "1-4,10", "all") or as a
// mask in hexadecimal ("0x0201").
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace corvex::examples {

// Nothing for text that is not such a list, names a channel outside 1-16, or passes no
// channel at all.
std::optional<uint16_t> parseChannelList(std::string_view text);

} // namespace corvex::examples
