// Arithmetic on a time-code position: frame rates, packing, clamping and counting frames.
#pragma once

#include "core/time_code_state.h"

#include <cstdint>

namespace cvx::timecode {

// Sets frames per second, rate code and rate × 100 from a configuration rate: 0 → 24 fps,
// 1 → 25, 2 → 30 drop-frame, 4 → 29.97 (non-drop, code 3), anything else → 30.
void applyConfiguredRate(TimeCodeRecord& record, uint16_t configuredRate);

// The highest frame number of a rate code: 23, 24 or 29.
uint8_t lastFrameOf(uint8_t rateCode);

// hours × 2^24 + minutes × 2^16 + seconds × 2^8 + frames, each field clamped to its range
// for the record's rate. In drop-frame mode frames 0 and 1 of a minute's first second that
// drop-frame counting skips become frame 2.
void setClampedTime(TimeCodeRecord& record, uint32_t packed);

// The time as posted with WM_CVX_MTC_TIME: rate code × 2^29 + (hours AND 0x1F) × 2^24 +
// minutes × 2^16 + seconds × 2^8 + frames.
uint32_t packedReport(const TimeCodeRecord& record);

// One frame later; hours wrap after 23. Drop-frame counting starts every minute except the
// tenth ones at frame 2.
void advanceFrame(TimeCodeRecord& record);

} // namespace cvx::timecode
