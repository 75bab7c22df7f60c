#include "views/monitor_line.h"

namespace corvex {

void formatMonitorLine(const EventText& text, const MonitorLine& line, NumberStyle style,
                       std::string& out) {
    if (const auto* event = std::get_if<EVENT>(&line)) {
        text.line(*event, style, out);
    } else if (const auto* textLine = std::get_if<TextLine>(&line)) {
        out.assign(1, ' ');
        out += textLine->text;
    } else {
        const auto& sysex = std::get<SysExBytesLine>(line);
        out = EventText::sysexLine(sysex.bytes.data(), sysex.count, style);
    }
}

} // namespace corvex
