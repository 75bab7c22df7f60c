// Column arithmetic on UTF-8 text for the monitors' fixed character grid: one column per code
// point. Pure functions: any thread may call them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace corvex {

// Length in bytes of the UTF-8 sequence that starts at text[at], or 0 when the bytes there
// are not a valid, shortest-form sequence.
inline size_t utf8SequenceLength(std::string_view text, size_t at) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned lead = byte(at);
    size_t length = 0;
    unsigned minimum = 0;
    unsigned value = 0;
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, minimum = 0x80, value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, minimum = 0x800, value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, minimum = 0x10000, value = lead & 0x07;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    for (size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) {
            return 0;
        }
        value = (value << 6) | (byte(at + i) & 0x3F);
    }
    const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
    return value < minimum || value > 0x10FFFF || surrogate ? 0 : length;
}

// Number of columns (code points) of valid UTF-8 text.
inline size_t columnCount(std::string_view text) {
    size_t count = 0;
    for (const char c : text) {
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }
    return count;
}

// Byte offset of column `column` in valid UTF-8 text (text.size() when it is past the end).
inline size_t byteOffsetOfColumn(std::string_view text, size_t column) {
    size_t at = 0;
    for (; at < text.size(); ++at) {
        if ((static_cast<unsigned char>(text[at]) & 0xC0) != 0x80 && column-- == 0) {
            return at;
        }
    }
    return at;
}

// The columns [first, first + count) of valid UTF-8 text, as far as the text reaches.
inline std::string_view columnSpan(std::string_view text, size_t first, size_t count) {
    const size_t begin = byteOffsetOfColumn(text, first);
    const size_t end = begin + byteOffsetOfColumn(text.substr(begin), count);
    return text.substr(begin, end - begin);
}

// Text fit for one grid line: valid UTF-8 without control characters. Each invalid byte and
// each control character (line breaks and tabs included) becomes '?'.
inline std::string printableText(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        const size_t length = utf8SequenceLength(text, at);
        const auto lead = static_cast<unsigned char>(text[at]);
        const bool control = lead < 0x20 || lead == 0x7F;
        if (length == 0 || control) {
            result += '?';
            ++at;
        } else {
            result.append(text.substr(at, length));
            at += length;
        }
    }
    return result;
}

} // namespace corvex
