// The periodic timers that drive the time-code and clock generators, and the bookkeeping
// every tick does before it runs a generator: one tick at a time, time owed by a tick that
// had to give way is made up by the next.
#pragma once

#include "core/time_code_state.h"

#include <cstdint>

namespace cvx::timecode {

// Starts `timer` as a periodic timer calling `tick` with the client as user data. The
// period is clamped to the platform's timer range and stored back. False, with nothing
// left running, when the timer capabilities cannot be read or no timer could be made.
bool startGeneratorTimer(GeneratorTimer& timer, LPTIMECALLBACK tick, core::CvxClient& client);

// Kills the timer; false when it was not running. After it returns the tick does not run
// again. Must not be called with the engine lock held (a running tick may be waiting for
// it).
bool stopGeneratorTimer(GeneratorTimer& timer);

inline bool isRunning(const GeneratorTimer& timer) {
    return timer.id.load() != 0;
}

// Entered at the top of a tick. When another tick of the same generator is still running,
// the period is owed and this tick must do nothing (covers() is false); otherwise it covers
// its period plus everything owed.
class TickEntry {
public:
    explicit TickEntry(GeneratorTimer& timer);
    ~TickEntry() { timer_.activeTicks.fetch_sub(1); }
    TickEntry(const TickEntry&) = delete;
    TickEntry& operator=(const TickEntry&) = delete;

    bool covers() const { return ms_ != 0; }
    uint32_t ms() const { return ms_; }

private:
    GeneratorTimer& timer_;
    uint32_t ms_ = 0;
};

} // namespace cvx::timecode
