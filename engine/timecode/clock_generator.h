// The MIDI clock generator's arithmetic: 24 clocks per quarter note at the configured tempo
// (a timebase of ticks per quarter note, timebase / 24 ticks per clock). The timer that
// sends them at their deadlines is separate (generator_timer.h).
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

    // The exact interval between clocks: a 24th of the quarter note the tempo's step gives
    // (120 BPM: 20.833... ms).
    MessageInterval interval() const;

private:
    ClockGeneratorState& state_;
};

} // namespace cvx::timecode
