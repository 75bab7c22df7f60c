// The periodic timers that drive the time-code and clock generators, and the bookkeeping
// every tick does before it runs a generator: one tick at a time, and every period that
// has elapsed is run exactly once, however late its tick.
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

// Entered at the top of a tick that was due at `dueNs` and runs at `nowNs` (service clock).
// When another tick of the same generator is still running, this one must do nothing
// (covers() is false) and its time stays owed. Otherwise it covers, in milliseconds, every
// whole period elapsed on the generator's grid since the last covered one: one period on
// time, several when the tick runs late or the timer skipped ticks, none when an earlier
// late tick already covered this one's period. So a late tick never shifts the stream: at
// any instant, the generator has been run for the time its grid says has passed.
class TickEntry {
public:
    TickEntry(GeneratorTimer& timer, int64_t dueNs, int64_t nowNs);
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
