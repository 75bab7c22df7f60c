// SysEx data as hex text, the form users read and type it in: two upper-case hexadecimal
// digits per byte, one space between bytes. Pure functions: any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace corvex {

// "F0 43 10 F7": upper-case digits, one space between bytes, no trailing space.
std::string formatHexText(std::span<const uint8_t> bytes);

struct HexTextReading {
    enum class End {
        Complete, // every token was read
        Invalid,  // a token or digit pair that is not two hexadecimal digits; `stop` says where
        TooLong,  // more bytes follow the limit; `stop` is where the first of them starts
    };
    std::vector<uint8_t> bytes; // the bytes read before the end
    End end = End::Complete;
    size_t stop = 0; // offset in the text where reading stopped (the text's size when Complete)
};

// Reads tokens separated by spaces, tabs or commas; each token gives pairs of hexadecimal
// digits of either case ("F043" is two bytes). Reading stops at the first token or pair that
// does not begin with two hexadecimal digits, or after `maxBytes` bytes.
HexTextReading parseHexText(std::string_view text, size_t maxBytes);

} // namespace corvex
