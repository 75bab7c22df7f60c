#include "sysex/sysex_scratch_pad.h"

#include "sysex/sysex_hex.h"

#include <algorithm>

namespace corvex {

namespace {

size_t lineStart(std::string_view text, size_t at) {
    size_t newline = text.rfind('\n', at == 0 ? 0 : at - 1);
    return at == 0 || newline == std::string_view::npos ? 0 : newline + 1;
}

size_t lineEnd(std::string_view text, size_t at) {
    size_t newline = text.find('\n', at);
    return newline == std::string_view::npos ? text.size() : newline;
}

} // namespace

std::optional<SysExShortMessage> scratchPadMessage(std::string_view line) {
    std::vector<uint8_t> bytes = parsePlainHex(line);
    if (bytes.empty()) {
        return std::nullopt;
    }
    auto at = [&](size_t i) { return i < bytes.size() ? bytes[i] : uint8_t{0}; };
    return SysExShortMessage{static_cast<uint8_t>(bytes[0] & 0xF0),
                             static_cast<uint8_t>(bytes[0] & 0x0F), at(1), at(2)};
}

std::vector<std::string_view> scratchPadLines(std::string_view text, size_t selectionStart,
                                              size_t selectionEnd) {
    if (selectionStart >= selectionEnd) {
        selectionStart = 0;
        selectionEnd = text.size();
    }
    selectionStart = std::min(selectionStart, text.size());
    selectionEnd = std::min(selectionEnd, text.size());
    size_t first = lineStart(text, selectionStart);
    size_t firstLength = lineEnd(text, first) - first;
    size_t last = first;
    if (selectionEnd > selectionStart + firstLength + 2) {
        last = lineStart(text, selectionEnd - 2);
    }
    std::vector<std::string_view> lines;
    for (size_t start = first; start <= last && start <= text.size();) {
        size_t end = lineEnd(text, start);
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        if (end == text.size()) {
            break;
        }
        start = end + 1;
    }
    return lines;
}

} // namespace corvex
