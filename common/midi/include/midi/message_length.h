// How many data bytes follow a MIDI status byte: the one table of message lengths that
// parsing input, encoding output and translating to other transports share.
// Any thread; pure functions.
#pragma once

#include <cstdint>

namespace cvx::midi {

// Data bytes after `status`: 1 for program change, channel pressure, quarter frame (F1) and
// song select (F3); 2 for the other channel messages and song position (F2); 0 for every
// other status (single-byte messages, and SysEx, whose length is its own) and for a data
// byte.
constexpr int dataLength(uint8_t status) {
    if (status < 0x80) {
        return 0;
    }
    if (status < 0xF0) {
        const uint8_t kind = status & 0xF0;
        return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
    }
    switch (status) {
    case 0xF1:
    case 0xF3:
        return 1;
    case 0xF2:
        return 2;
    default:
        return 0;
    }
}

} // namespace cvx::midi
