// Follows incoming time code: assembles the received time from quarter frames and takes it
// whole from full-frame messages.
#pragma once

#include "core/time_code_state.h"

#include <cstdint>

namespace cvx::timecode {

class TimeCodeTracker {
public:
    explicit TimeCodeTracker(ReceivedTime& state) : state_(state) {}

    // One quarter frame (the data byte of 0xF1). True when it completed a time worth
    // reporting: piece 7 after more than seven pieces since the last report.
    bool quarterFrame(uint8_t data);

    // A SysEx block; true when it is a full-frame message (at least 10 bytes beginning
    // F0 7F 7F 01 01), whose time, clamped to range, becomes the received time.
    bool fullFrame(const uint8_t* data, uint32_t length);

    // The received time packed as posted with WM_CVX_MTC_TIME.
    uint32_t report() const;

    // 00:00:00:00 at 30 fps, nothing assembled.
    void reset();

private:
    ReceivedTime& state_;
};

} // namespace cvx::timecode
