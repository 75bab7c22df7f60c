#include "timecode/sync_tracker.h"

#include "midi/mul_div.h"

#include <algorithm>

namespace cvx::timecode {

namespace {

constexpr uint32_t kDefaultTempo = 10000;
constexpr uint64_t kTempoTimesClockMs = 6'000'000; // BPM × 100 × ms per 24 clocks
constexpr uint32_t kClocksPerBeat = 6;             // MIDI clocks per song-position unit
constexpr int32_t kClocksPerQuarterNote = 24;

} // namespace

SyncReport SyncTracker::track(uint8_t status, uint8_t data1, uint8_t data2, uint32_t time) {
    switch (status) {
    case 0xF2:
        return songPosition(data1, data2);
    case 0xF8:
        return clock(time);
    case 0xFA:
        state_.clockCount = 0;
        state_.running = true;
        state_.skipNextInterval = true;
        return {};
    case 0xFB:
        state_.running = true;
        state_.skipNextInterval = true;
        return {};
    case 0xFC:
        state_.running = false;
        return {};
    default:
        return {};
    }
}

SyncReport SyncTracker::songPosition(uint8_t data1, uint8_t data2) {
    state_.clockCount = (uint32_t{data2} * 128 + data1) * kClocksPerBeat;
    SyncReport report;
    report.positionChanged = true;
    report.position = position();
    return report;
}

SyncReport SyncTracker::clock(uint32_t time) {
    SyncReport report;
    if (state_.hasLastClock) {
        measureInterval(time, report);
    } else {
        restartMeasuring();
    }
    state_.hasLastClock = true;
    state_.skipNextInterval = false;
    state_.lastClockTime = time;
    if (state_.running) {
        ++state_.clockCount;
        report.positionChanged = true;
        report.position = position();
    }
    return report;
}

// Only a positive interval between clocks of one running stream enters the average: the
// pause of a stop and start, a clock stamped in the same millisecond as the one before and
// a stamp from another time base (earlier than the last) tell nothing about the tempo.
void SyncTracker::measureInterval(uint32_t time, SyncReport& report) {
    auto interval = static_cast<int32_t>(time - state_.lastClockTime);
    if (state_.skipNextInterval || interval <= 0) {
        return;
    }
    uint32_t& oldest = state_.intervals[state_.intervalIndex];
    state_.intervalSum = state_.intervalSum - oldest + static_cast<uint32_t>(interval);
    oldest = static_cast<uint32_t>(interval);
    state_.intervalIndex = (state_.intervalIndex + 1) % kTempoIntervals;
    auto tempo = static_cast<uint32_t>(kTempoTimesClockMs / state_.intervalSum);
    if (tempo != state_.lastTempo) {
        state_.lastTempo = tempo;
        report.tempoChanged = true;
        report.tempo = tempo;
    }
}

void SyncTracker::restartMeasuring() {
    std::fill(std::begin(state_.intervals), std::end(state_.intervals), 0u);
    state_.intervalSum = 0;
    state_.intervalIndex = 0;
    state_.lastTempo = kDefaultTempo;
}

uint32_t SyncTracker::position() const {
    return static_cast<uint32_t>(midi::mulDiv(static_cast<int32_t>(state_.clockCount),
                                              state_.timebase, kClocksPerQuarterNote));
}

} // namespace cvx::timecode
