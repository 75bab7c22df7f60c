// The MIDI time-code generator's arithmetic: how many quarter frames are due after some
// milliseconds, and what each one carries. The timer that drives it is separate
// (generator_timer.h).
#pragma once

#include "core/time_code_state.h"

#include <cstdint>

namespace cvx::timecode {

class MtcGenerator {
public:
    explicit MtcGenerator(MtcGeneratorState& state) : state_(state) {}

    // Sets the rate (see applyConfiguredRate) and the step, and makes `start` (hours × 2^24
    // + minutes × 2^16 + seconds × 2^8 + frames, clamped to the rate) both the current and
    // the start time. The next quarter frame is piece 0.
    void configure(uint16_t rate, uint32_t start);

    // Prepares a new run from the current time: the first quarter frame is piece 0 and no
    // fraction of a quarter frame is carried over from an earlier run.
    void restart();

    // Lets `ms` milliseconds pass and returns how many quarter frames are due now.
    uint32_t elapse(uint32_t ms);

    // The data byte of the next quarter frame. After piece 7 the time moves on by two
    // frames, the span a full sequence of eight quarter frames covers.
    uint8_t nextPiece();

    // Returns to the start time.
    void rewind() { state_.time = state_.start; }

private:
    MtcGeneratorState& state_;
};

} // namespace cvx::timecode
