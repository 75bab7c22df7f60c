// Where SysEx content comes from or goes to (source kinds 1-4) and how it is shown as text
// (text kinds 5-7). One enumeration for both roles; the values are stored with each pane.
// Pure: any thread.
#pragma once

#include <cstdint>
#include <string_view>

namespace corvex {

enum class SysExKind : uint8_t {
    Unknown = 0,
    BinaryFile = 1,
    TextFile = 2,
    BinaryBuffer = 3,
    TextBuffer = 4,
    Text = 5,
    FormattedHex = 6,
    PlainHex = 7,
};

// The name a pane's label shows for the kind ("Plain Hex", ...).
constexpr std::string_view sysExKindName(SysExKind kind) {
    switch (kind) {
    case SysExKind::BinaryFile:
        return "Binary File";
    case SysExKind::TextFile:
        return "Text File";
    case SysExKind::BinaryBuffer:
        return "Binary Buffer";
    case SysExKind::TextBuffer:
        return "Text Buffer";
    case SysExKind::Text:
        return "Text";
    case SysExKind::FormattedHex:
        return "Formatted Hex";
    case SysExKind::PlainHex:
        return "Plain Hex";
    case SysExKind::Unknown:
        break;
    }
    return "Unknown format";
}

} // namespace corvex
