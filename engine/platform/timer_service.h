// The multimedia timer service behind timeSetEvent / timeKillEvent.
//
// - One timer thread per process (SCHED_FIFO when permitted, else normal priority with the
//   smallest timer slack) runs every callback. Deadlines are absolute on the service clock:
//   a periodic timer's next deadline is its previous deadline plus the period, so it does
//   not drift. A periodic timer that has fallen behind runs its overdue periods at once; one
//   more than a second behind (machine suspended, thread starved) skips ahead instead of
//   firing a burst. Users that must not lose the skipped time keep their own grid of
//   periods (runningDueNs() tells a callback the deadline it was due at). A callback may
//   instead name its timer's next absolute deadline (setRunningNextDueNs()).
// - The thread waits for its next deadline on a futex word with an absolute
//   CLOCK_MONOTONIC time-out, and sleeps the last stretch (at most kMinDelay, a span no
//   set() can undercut) with clock_nanosleep(TIMER_ABSTIME). set() and the other state
//   changes bump the word and wake the thread only when it sleeps, after releasing the
//   service's mutex: the woken thread finds the mutex free instead of waking into a
//   second wait, as it would behind a condition variable notified under the lock.
// - kSlots timer slots are preallocated; set() takes a free one (round robin) and pushes
//   it on a fixed-size heap: it never allocates, so it may be called from real-time paths.
//   It returns 0 when no slot is free or the delay/callback/flags are invalid.
// - A timer id is (generation << kSlotBits) | slot with a generation that is never 0 and
//   is bumped on every use of the slot, so ids are never 0 and not reused soon: killing a
//   stale id fails instead of killing a newer timer.
// - kill() removes the timer; when its callback is running on another thread it waits
//   for the callback to return. From inside the timer's own callback it only stops it.
//   After kill() returns the callback never runs again.
// - Manual clock (cvxClockManual): the timer thread runs nothing; advance() steps the
//   clock to each due time in turn and runs the callbacks due there, in due order (equal
//   deadlines in the order they were set), on the calling thread, before it returns.
#pragma once

#include "cvx_platform.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace cvx::platform {

class TimerService {
public:
    static constexpr uint32_t kSlotBits = 10;
    static constexpr uint32_t kSlots = 1u << kSlotBits;
    static constexpr UINT kMinDelay = 1;
    static constexpr UINT kMaxDelay = 1000000;

    static TimerService& instance();

    UINT set(UINT delayMs, LPTIMECALLBACK callback, DWORD_PTR user, UINT flags);
    MMRESULT kill(UINT id);

    void setManual(bool on);
    void advance(uint32_t ms);

    // Whether the timer thread obtained real-time (SCHED_FIFO) priority. Any thread.
    bool realtime() const { return realtime_.load(); }

    // Inside a timer callback: the deadline (service clock, ns) that callback was due at,
    // which may lie before the time it actually runs. 0 on a thread outside a callback.
    static int64_t runningDueNs();

    // Inside a periodic timer's callback: its next deadline is `dueNs` (service clock, ns)
    // instead of the previous deadline plus the period, so a callback can put each run at an
    // exact time of its own. A deadline already past runs at once. Ignored elsewhere.
    static void setRunningNextDueNs(int64_t dueNs);

private:
    struct Slot {
        uint32_t generation = 0; // of the current or last use; never 0 once used
        bool active = false;     // set and not killed / not finished
        bool periodic = false;
        bool running = false; // its callback is executing
        std::thread::id runner;
        LPTIMECALLBACK callback = nullptr;
        DWORD_PTR user = 0;
        int64_t dueNs = 0;
        int64_t periodNs = 0;
        uint64_t order = 0; // tie-break for equal deadlines
        int32_t heapIndex = -1;
    };

    TimerService();
    void threadMain();
    // Sleeps until `dueNs` on the service clock or until the wake word leaves `seen`.
    void sleepUntil(int64_t dueNs, uint32_t seen);
    void waitForWake(uint32_t seen);
    // Bumps the wake word; call with the mutex held, then wakeThread() after releasing it.
    void requestWake() { wakeWord_.fetch_add(1); }
    void wakeThread();
    bool before(uint32_t a, uint32_t b) const;
    void heapSwap(uint32_t i, uint32_t j);
    void heapUp(uint32_t i);
    void heapDown(uint32_t i);
    void heapPush(uint32_t slot);
    void heapRemove(uint32_t slot);
    // Runs the due timer at the heap's top; called with lock held, returns with it held.
    void runTop(std::unique_lock<std::mutex>& lock);
    void acquireDispatcher(std::unique_lock<std::mutex>& lock);
    void releaseDispatcher();

    std::mutex mutex_;
    std::atomic<uint32_t> wakeWord_{0}; // futex word the timer thread waits on
    std::atomic<bool> sleeping_{false}; // the timer thread is (about to be) in a futex wait
    std::atomic<bool> realtime_{false};
    std::condition_variable state_; // kill waiters, dispatcher hand-over, thread start
    bool started_ = false;
    Slot slots_[kSlots];
    uint32_t heap_[kSlots];
    uint32_t heapSize_ = 0;
    uint32_t nextSlot_ = 0;
    uint64_t order_ = 0;
    // The dispatcher: the timer thread or an advancing thread, never both at once.
    bool dispatcherBusy_ = false;
    std::thread::id dispatcher_;
    int dispatcherDepth_ = 0;
    std::thread thread_;
};

} // namespace cvx::platform
