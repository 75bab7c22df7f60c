// The MIDI clock generator's arithmetic: timebase ticks elapse at the configured tempo and
// every timebase / 24 ticks a clock is due. The timer that drives it is separate
// (generator_timer.h).
#pragma once

#include "core/time_code_state.h"

#include <cstdint>

namespace cvx::timecode {

// A timebase the generator can run at exactly: at least 24 and a multiple of 24, so that a
// whole number of ticks makes one MIDI clock.
bool isValidTimebase(uint16_t timebase);

class ClockGenerator {
public:
    explicit ClockGenerator(ClockGeneratorState& state) : state_(state) {}

    // Ticks per quarter note; must be valid (isValidTimebase).
    void setTimebase(uint16_t timebase);

    // Tempo in hundredths of BPM, rounded to whole BPM, at least 1 BPM.
    void setTempo(uint16_t tempoTimes100);

    // Prepares a new run: no fraction of a tick or clock is carried over.
    void restart();

    // Lets `ms` milliseconds pass and returns how many clocks are due now.
    uint32_t elapse(uint32_t ms);

private:
    ClockGeneratorState& state_;
};

} // namespace cvx::timecode
