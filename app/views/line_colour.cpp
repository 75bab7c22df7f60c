#include "views/line_colour.h"

namespace corvex {

namespace {

int kindColour(unsigned status, unsigned data2) {
    switch (status >> 4) {
    case 0x8:
        return monitor_colour::noteOff;
    case 0x9:
        return data2 > 0 ? monitor_colour::noteOn : monitor_colour::noteOff;
    case 0xA:
    case 0xD:
        return monitor_colour::aftertouch;
    case 0xB:
        return monitor_colour::controller;
    case 0xC:
        return monitor_colour::programChange;
    case 0xE:
        return monitor_colour::pitchBend;
    case 0xF:
        return monitor_colour::systemExclusive;
    default:
        return monitor_colour::text;
    }
}

} // namespace

int lineColourIndex(const MonitorLine& line, bool channelColours) {
    const auto* event = std::get_if<EVENT>(&line);
    if (event == nullptr) {
        return monitor_colour::text;
    }
    const unsigned status = event->message & 0xFF;
    const unsigned data2 = (event->message >> 16) & 0xFF;
    if (status < 0x80) {
        return monitor_colour::text;
    }
    if (channelColours) {
        return status >= 0xF0 ? monitor_colour::systemExclusive
                              : monitor_colour::channel1 + static_cast<int>(status & 0x0F);
    }
    return kindColour(status, data2);
}

} // namespace corvex
