// Where the engine's data paths hand time code and clock to the trackers: every short
// message from an input, from injection and from the delayed-event pump, and every SysEx
// block received or sent. Completed times, tempo changes and song positions are posted to
// the MTC and sync windows when they are attached.
#pragma once

#include "cvx_records.h"

#include <cstdint>

namespace cvx::core {
struct CvxClient;
}

namespace cvx::timecode {

// 0xF1 feeds the quarter-frame tracker; 0xF2, 0xF8, 0xFA, 0xFB and 0xFC the sync tracker,
// with the event's time stamp as the clock's time. Other messages are ignored.
void trackShortMessage(core::CvxClient& client, const EVENT& event);

// A full-frame time-code message (at least 10 bytes beginning F0 7F 7F 01 01) sets the
// received time; any other block is ignored.
void trackFullFrame(core::CvxClient& client, const uint8_t* data, uint32_t length);

} // namespace cvx::timecode
