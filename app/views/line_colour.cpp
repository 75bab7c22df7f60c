#include "views/line_colour.h"

namespace corvex {

namespace {

size_t kindColour(unsigned status, unsigned data2) {
    switch (status >> 4) {
    case 0x8:
        return kNoteOffColour;
    case 0x9:
        return data2 > 0 ? kNoteOnColour : kNoteOffColour;
    case 0xA:
    case 0xD:
        return kAftertouchColour;
    case 0xB:
        return kControllerColour;
    case 0xC:
        return kProgramChangeColour;
    case 0xE:
        return kPitchBendColour;
    case 0xF:
        return kSystemExclusiveColour;
    default:
        return kMonitorText;
    }
}

} // namespace

size_t lineColourIndex(const MonitorLine& line, bool channelColours) {
    const auto* event = std::get_if<EVENT>(&line);
    if (event == nullptr) {
        return kMonitorText;
    }
    const unsigned status = event->message & 0xFF;
    const unsigned data2 = (event->message >> 16) & 0xFF;
    if (status < 0x80) {
        return kMonitorText;
    }
    if (channelColours) {
        return status >= 0xF0 ? kSystemExclusiveColour : kFirstChannelColour + (status & 0x0F);
    }
    return kindColour(status, data2);
}

} // namespace corvex
