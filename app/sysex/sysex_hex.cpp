#include "sysex/sysex_hex.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace corvex {

namespace {

constexpr std::array<char, 16> kDigits = {'0', '1', '2', '3', '4', '5', '6', '7',
                                          '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'};
constexpr size_t kHexFieldStart = 8;
constexpr size_t kHexFieldWidth = 48;
constexpr size_t kGrowthStep = 4096;

int digitValue(char c) {
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

void appendHexPair(std::string& text, uint8_t byte) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
}

bool printableInCLocale(uint8_t byte) {
    return byte >= 0x20 && byte <= 0x7E;
}

void appendFormattedLine(std::string& text, size_t offset, std::span<const uint8_t> line) {
    char offsetField[16];
    std::snprintf(offsetField, sizeof offsetField, "%.6X  ", static_cast<unsigned>(offset));
    text += offsetField;
    std::string hex = toPlainHex(line);
    hex.resize(kHexFieldWidth, ' ');
    text += hex;
    text += ' ';
    std::string characters;
    for (uint8_t byte : line) {
        characters += printableInCLocale(byte) ? static_cast<char>(byte) : '.';
    }
    characters.resize(kFormattedHexBytesPerLine, ' ');
    text += characters;
    text += "\r\n";
}

} // namespace

std::string toPlainHex(std::span<const uint8_t> bytes) {
    std::string text;
    text.reserve(bytes.size() * 3);
    for (uint8_t byte : bytes) {
        appendHexPair(text, byte);
        text += ' ';
    }
    return text;
}

std::string toFormattedHex(std::span<const uint8_t> bytes) {
    std::string text;
    size_t lines = (bytes.size() + kFormattedHexBytesPerLine - 1) / kFormattedHexBytesPerLine;
    text.reserve(lines * kFormattedHexLineLength);
    for (size_t offset = 0; offset < bytes.size(); offset += kFormattedHexBytesPerLine) {
        appendFormattedLine(text, offset,
                            bytes.subspan(offset).first(
                                std::min(kFormattedHexBytesPerLine, bytes.size() - offset)));
    }
    return text;
}

std::vector<uint8_t> parsePlainHex(std::string_view text) {
    std::vector<uint8_t> bytes;
    if (text.size() < 2) {
        return bytes;
    }
    for (size_t i = 0; i < text.size();) {
        int high = digitValue(text[i]);
        if (high < 0) {
            ++i;
            continue;
        }
        int low = i + 1 < text.size() ? digitValue(text[i + 1]) : -1;
        if (low >= 0) {
            if (bytes.size() == bytes.capacity()) {
                bytes.reserve(bytes.capacity() + kGrowthStep);
            }
            bytes.push_back(static_cast<uint8_t>(high << 4 | low));
        }
        i += 2;
    }
    return bytes;
}

std::vector<uint8_t> parseFormattedHex(std::string_view text) {
    if (text.size() < kFormattedHexLineLength || text.size() % kFormattedHexLineLength != 0) {
        return {};
    }
    std::string fields;
    for (size_t line = 0; line < text.size(); line += kFormattedHexLineLength) {
        if (text[line + kFormattedHexLineLength - 1] != '\n') {
            break;
        }
        fields += text.substr(line + kHexFieldStart, kHexFieldWidth);
    }
    return parsePlainHex(fields);
}

std::vector<uint8_t> paneBytes(std::string_view text, SysExKind textKind,
                               std::string_view selection) {
    if (!selection.empty()) {
        return parsePlainHex(selection);
    }
    return textKind == SysExKind::FormattedHex ? parseFormattedHex(text) : parsePlainHex(text);
}

std::string bytesAsText(std::span<const uint8_t> bytes, SysExKind textKind) {
    return textKind == SysExKind::FormattedHex ? toFormattedHex(bytes) : toPlainHex(bytes);
}

} // namespace corvex
