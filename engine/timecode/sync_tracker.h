// Follows incoming MIDI clock, Start / Continue / Stop and Song Position: the tempo from
// the last 24 clock intervals and the song position, for the sync window.
#pragma once

#include "core/time_code_state.h"

#include <cstdint>

namespace cvx::timecode {

// What a tracked message asks to be posted to the sync window.
struct SyncReport {
    bool tempoChanged = false;
    uint32_t tempo = 0; // BPM × 100
    bool positionChanged = false;
    uint32_t position = 0; // in timebase ticks
};

class SyncTracker {
public:
    explicit SyncTracker(SyncTrackerState& state) : state_(state) {}

    // Ticks per quarter note for song positions.
    void setTimebase(uint16_t timebase) { state_.timebase = timebase; }

    // One message; `time` is its time stamp in milliseconds. Statuses other than 0xF2,
    // 0xF8, 0xFA, 0xFB and 0xFC are ignored.
    SyncReport track(uint8_t status, uint8_t data1, uint8_t data2, uint32_t time);

private:
    SyncReport songPosition(uint8_t data1, uint8_t data2);
    SyncReport clock(uint32_t time);
    void measureInterval(uint32_t time, SyncReport& report);
    void restartMeasuring();
    uint32_t position() const;

    SyncTrackerState& state_;
};

} // namespace cvx::timecode
