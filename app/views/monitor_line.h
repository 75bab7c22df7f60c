// One record of a monitor's line ring: an engine event, a text line (owning its text) or a
// line of SysEx bytes (one display piece, held in place). Plain values: any thread, not shared.
#pragma once

#include "views/event_text.h"

#include <array>
#include <cstdint>
#include <string>
#include <variant>

namespace corvex {

struct TextLine {
    std::string text; // printable UTF-8 (see printableText)
};

struct SysExBytesLine {
    uint8_t count = 0; // 0..EventText::sysexPieceBytes
    std::array<uint8_t, EventText::sysexPieceBytes> bytes{};
};

using MonitorLine = std::variant<EVENT, TextLine, SysExBytesLine>;

// The line's text in the monitor's layouts, into `out` (its capacity is reused).
void formatMonitorLine(const EventText& text, const MonitorLine& line, NumberStyle style,
                       std::string& out);

} // namespace corvex
