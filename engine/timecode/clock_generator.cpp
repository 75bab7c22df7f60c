#include "timecode/clock_generator.h"

#include <algorithm>

namespace cvx::timecode {

namespace {

constexpr uint16_t kClocksPerQuarterNote = 24;
constexpr uint64_t kMicrosecondsPerMinute = 60'000'000;
constexpr uint64_t kStepScale = 256;
// ms × timebase × kTickScale / step = ticks, with step = 256 × µs per quarter note.
constexpr uint64_t kTickScale = 256'000;
constexpr uint32_t kTempoRounding = 50;
constexpr uint32_t kTempoPerBpm = 100;

} // namespace

bool isValidTimebase(uint16_t timebase) {
    return timebase >= kClocksPerQuarterNote && timebase % kClocksPerQuarterNote == 0;
}

void ClockGenerator::setTimebase(uint16_t timebase) {
    state_.timebase = timebase;
    state_.ticksPerClock = timebase / kClocksPerQuarterNote;
}

void ClockGenerator::setTempo(uint16_t tempoTimes100) {
    uint32_t bpm = std::max<uint32_t>((tempoTimes100 + kTempoRounding) / kTempoPerBpm, 1);
    state_.step = kMicrosecondsPerMinute / bpm * kStepScale;
}

void ClockGenerator::restart() {
    state_.remainder = 0;
    state_.tickAccumulator = 0;
}

uint32_t ClockGenerator::elapse(uint32_t ms) {
    uint64_t scaled = uint64_t{ms} * state_.timebase * kTickScale + state_.remainder;
    uint64_t ticks = scaled / state_.step;
    state_.remainder = scaled % state_.step;
    state_.tickAccumulator += ticks;
    uint32_t due = 0;
    while (state_.tickAccumulator >= state_.ticksPerClock) {
        state_.tickAccumulator -= state_.ticksPerClock;
        ++due;
    }
    return due;
}

} // namespace cvx::timecode
