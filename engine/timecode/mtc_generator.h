// The MIDI time-code generator: the interval between quarter frames at the configured rate
// and what each one carries. The timer that sends them at their deadlines is separate
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

    // Prepares a new run from the current time: the first quarter frame is piece 0.
    void restart() { state_.quarterFrames = 0; }

    // The exact interval between quarter frames: a quarter of a frame at the rate (30 fps:
    // 8.333... ms, 29.97 fps: 8.341675 ms).
    MessageInterval interval() const;

    // The data byte of the next quarter frame. After piece 7 the time moves on by two
    // frames, the span a full sequence of eight quarter frames covers.
    uint8_t nextPiece();

    // Returns to the start time.
    void rewind() { state_.time = state_.start; }

private:
    MtcGeneratorState& state_;
};

} // namespace cvx::timecode
