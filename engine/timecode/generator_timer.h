// The timers that drive the time-code and clock generators, and the bookkeeping every tick
// does before it sends: one tick at a time, every message sent once at its own deadline on
// an exact grid, however late a tick runs.
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

// Entered at the top of a tick that was due at `dueNs` and runs at `nowNs` (service clock),
// with the generator's current message interval. When another tick of the same generator
// is still running, this one must do nothing (covers() is false). Otherwise due() is the
// number of messages whose deadlines have come since the last tick (one on time, several
// after a stall, none when the tick came early), and nextDueNs() the deadline of the one
// after them, which the tick names as its timer's next deadline. Deadlines lie on an exact
// grid from the run's origin, so the stream never drifts; a new interval (the rate or tempo
// changed) starts a new grid at the last deadline. More than ten seconds behind (a
// suspended machine), the excess is given up rather than sent as a flood: the stream then
// resumes shifted. Real-time safe: no allocation, no lock.
class TickEntry {
public:
    TickEntry(GeneratorTimer& timer, int64_t dueNs, int64_t nowNs, MessageInterval interval);
    ~TickEntry() { timer_.activeTicks.fetch_sub(1); }
    TickEntry(const TickEntry&) = delete;
    TickEntry& operator=(const TickEntry&) = delete;

    bool covers() const { return covers_; }
    uint32_t due() const { return due_; }
    int64_t nextDueNs() const { return nextDueNs_; }

private:
    GeneratorTimer& timer_;
    bool covers_ = false;
    uint32_t due_ = 0;
    int64_t nextDueNs_ = 0;
};

// The deadline of message `k` (1 = the first) of a grid starting at `originNs`.
int64_t messageDueNs(int64_t originNs, MessageInterval interval, uint64_t k);

} // namespace cvx::timecode
