#include "timecode/clock_generator.h"

#include <algorithm>

namespace cvx::timecode {

namespace {

constexpr uint16_t kClocksPerQuarterNote = 24;
constexpr uint64_t kMicrosecondsPerMinute = 60'000'000;
constexpr uint64_t kStepScale = 256; // step = 256 × µs per quarter note
constexpr uint64_t kNsPerUs = 1000;
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

MessageInterval ClockGenerator::interval() const {
    return {state_.step / kStepScale * kNsPerUs, kClocksPerQuarterNote};
}

} // namespace cvx::timecode
