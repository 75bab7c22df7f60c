#include "mapping/hex_text.h"

namespace corvex {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool isSeparator(char c) {
    return c == ' ' || c == '\t' || c == ',';
}

} // namespace

std::string formatHexText(std::span<const uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 3);
    for (uint8_t byte : bytes) {
        if (!text.empty()) {
            text += ' ';
        }
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

HexTextReading parseHexText(std::string_view text, size_t maxBytes) {
    HexTextReading reading;
    size_t at = 0;
    while (true) {
        while (at < text.size() && isSeparator(text[at])) {
            ++at;
        }
        if (at == text.size()) {
            reading.stop = at;
            return reading;
        }
        // One token: pairs of digits up to the next separator.
        while (at < text.size() && !isSeparator(text[at])) {
            int high = hexValue(text[at]);
            int low = at + 1 < text.size() ? hexValue(text[at + 1]) : -1;
            if (high < 0 || low < 0) {
                reading.end = HexTextReading::End::Invalid;
                reading.stop = at;
                return reading;
            }
            if (reading.bytes.size() == maxBytes) {
                reading.end = HexTextReading::End::TooLong;
                reading.stop = at;
                return reading;
            }
            reading.bytes.push_back(static_cast<uint8_t>(high << 4 | low));
            at += 2;
        }
    }
}

} // namespace corvex
