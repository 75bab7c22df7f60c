// The one clock of the platform layer: timeGetTime, GetTickCount, input time stamps and
// timer deadlines all read it.
//
// Normally it is CLOCK_MONOTONIC (std::chrono::steady_clock) plus an offset that is 0 until
// the manual clock has been used. With the manual clock on (cvxClockManual), the value
// only moves when the timer service advances it (cvxClockAdvance). Leaving manual mode
// continues from the manual value, so the clock never runs backwards.
//
// Reads are lock-free from any thread. Mode changes and advances are made by the timer
// service under its lock (timer_service.cpp), which also wakes its thread.
#pragma once

#include <chrono>
#include <cstdint>

namespace cvx::platform::clock {

// Nanoseconds on the service clock.
int64_t nowNs();
// Milliseconds as the WINMM calls report them (wraps after 49.7 days).
inline uint32_t nowMs() {
    return static_cast<uint32_t>(nowNs() / 1000000);
}

bool isManual();
// Switches mode; entering manual mode freezes the clock at the current whole millisecond.
void setManual(bool on);
// Manual mode: moves the clock forward to `ns` (never back).
void advanceManualTo(int64_t ns);

// Real mode: the steady_clock instant at which the service clock reads `ns`.
std::chrono::steady_clock::time_point toSteady(int64_t ns);

} // namespace cvx::platform::clock
