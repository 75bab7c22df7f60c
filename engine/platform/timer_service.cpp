#include "platform/timer_service.h"

#include "platform/rt_priority.h"
#include "platform/service_clock.h"

#include <linux/futex.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

namespace cvx::platform {

namespace {
constexpr int64_t kMsNs = 1000000;
constexpr int64_t kSecondNs = 1000 * kMsNs;
constexpr int64_t kCatchUpLimitNs = kSecondNs;
// The last stretch before a deadline is slept without a wake-up source: no set() can
// make a deadline earlier than now + kMinDelay.
constexpr int64_t kFinalApproachNs = TimerService::kMinDelay * kMsNs;
constexpr int kTimerPriority = 40;
constexpr unsigned long kTimerSlackNs = 1;
constexpr uint32_t kGenerationMask = (1u << (32 - TimerService::kSlotBits)) - 1;

thread_local int64_t tRunningDueNs = 0;
// The next deadline the running callback named for its timer; 0 when it named none.
thread_local int64_t tNextDueNs = 0;

timespec monotonicAt(int64_t serviceNs) {
    // The service clock is CLOCK_MONOTONIC (steady_clock) plus an offset.
    int64_t ns = clock::toSteady(serviceNs).time_since_epoch().count();
    if (ns < 0) {
        ns = 0;
    }
    return timespec{static_cast<time_t>(ns / kSecondNs), static_cast<long>(ns % kSecondNs)};
}

static_assert(sizeof(std::atomic<uint32_t>) == sizeof(uint32_t) &&
                  std::atomic<uint32_t>::is_always_lock_free,
              "the wake word must be a plain 32-bit futex word");

// FUTEX_WAIT_BITSET takes an absolute time-out on CLOCK_MONOTONIC; none waits for ever.
void futexWait(std::atomic<uint32_t>& word, uint32_t seen, const timespec* until) {
    syscall(SYS_futex, reinterpret_cast<uint32_t*>(&word), FUTEX_WAIT_BITSET_PRIVATE, seen, until,
            nullptr, FUTEX_BITSET_MATCH_ANY);
}

void futexWakeOne(std::atomic<uint32_t>& word) {
    syscall(SYS_futex, reinterpret_cast<uint32_t*>(&word), FUTEX_WAKE_PRIVATE, 1, nullptr, nullptr,
            0);
}

void sleepUntilMonotonic(const timespec& until) {
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
}

} // namespace

TimerService& TimerService::instance() {
    // Never destroyed: its thread may still be waiting when the process exits.
    static TimerService* service = new TimerService();
    return *service;
}

TimerService::TimerService() {
    thread_ = std::thread([this] {
        bool granted = tryRealtimePriority(kTimerPriority);
        // Without real-time priority the kernel may defer each wake-up by the thread's
        // timer slack (50 us by default); ask for the least (0 would mean the default).
        prctl(PR_SET_TIMERSLACK, kTimerSlackNs, 0, 0, 0);
        {
            std::lock_guard guard(mutex_);
            realtime_.store(granted);
            started_ = true;
        }
        state_.notify_all();
        threadMain();
    });
    thread_.detach();
    std::unique_lock lock(mutex_);
    state_.wait(lock, [this] { return started_; });
}

int64_t TimerService::runningDueNs() {
    return tRunningDueNs;
}

void TimerService::setRunningNextDueNs(int64_t dueNs) {
    if (tRunningDueNs != 0) {
        tNextDueNs = dueNs;
    }
}

// ---- heap of slot indices ordered by (due, order) ---------------------------------------

bool TimerService::before(uint32_t a, uint32_t b) const {
    const Slot& x = slots_[a];
    const Slot& y = slots_[b];
    return x.dueNs != y.dueNs ? x.dueNs < y.dueNs : x.order < y.order;
}

void TimerService::heapSwap(uint32_t i, uint32_t j) {
    uint32_t a = heap_[i];
    uint32_t b = heap_[j];
    heap_[i] = b;
    heap_[j] = a;
    slots_[b].heapIndex = static_cast<int32_t>(i);
    slots_[a].heapIndex = static_cast<int32_t>(j);
}

void TimerService::heapUp(uint32_t i) {
    while (i > 0) {
        uint32_t parent = (i - 1) / 2;
        if (!before(heap_[i], heap_[parent])) {
            break;
        }
        heapSwap(i, parent);
        i = parent;
    }
}

void TimerService::heapDown(uint32_t i) {
    for (;;) {
        uint32_t left = 2 * i + 1;
        uint32_t right = left + 1;
        uint32_t best = i;
        if (left < heapSize_ && before(heap_[left], heap_[best])) {
            best = left;
        }
        if (right < heapSize_ && before(heap_[right], heap_[best])) {
            best = right;
        }
        if (best == i) {
            return;
        }
        heapSwap(i, best);
        i = best;
    }
}

void TimerService::heapPush(uint32_t slot) {
    slots_[slot].order = ++order_;
    heap_[heapSize_] = slot;
    slots_[slot].heapIndex = static_cast<int32_t>(heapSize_);
    ++heapSize_;
    heapUp(heapSize_ - 1);
}

void TimerService::heapRemove(uint32_t slot) {
    int32_t index = slots_[slot].heapIndex;
    if (index < 0) {
        return;
    }
    uint32_t i = static_cast<uint32_t>(index);
    --heapSize_;
    if (i != heapSize_) {
        heapSwap(i, heapSize_);
        heapDown(i);
        heapUp(i);
    }
    slots_[slot].heapIndex = -1;
}

// ---- set / kill -------------------------------------------------------------------------

UINT TimerService::set(UINT delayMs, LPTIMECALLBACK callback, DWORD_PTR user, UINT flags) {
    if (callback == nullptr || delayMs < kMinDelay || delayMs > kMaxDelay) {
        return 0;
    }
    // Only function callbacks exist here (the event-set/pulse forms are not provided).
    if ((flags & ~(TIME_PERIODIC | TIME_KILL_SYNCHRONOUS)) != 0) {
        return 0;
    }
    UINT id = 0;
    {
        std::lock_guard guard(mutex_);
        for (uint32_t n = 0; n < kSlots && id == 0; ++n) {
            uint32_t index = (nextSlot_ + n) % kSlots;
            Slot& s = slots_[index];
            if (s.active || s.running) {
                continue;
            }
            nextSlot_ = (index + 1) % kSlots;
            s.generation = (s.generation + 1) & kGenerationMask;
            if (s.generation == 0) {
                s.generation = 1;
            }
            s.active = true;
            s.periodic = (flags & TIME_PERIODIC) != 0;
            s.callback = callback;
            s.user = user;
            s.periodNs = int64_t{delayMs} * kMsNs;
            s.dueNs = clock::nowNs() + s.periodNs;
            heapPush(index);
            id = (s.generation << kSlotBits) | index;
            // Only a new earliest deadline changes what the thread waits for.
            if (heap_[0] == index) {
                requestWake();
            }
        }
    }
    wakeThread();
    return id;
}

// A killed timer needs no wake-up: the thread, should it be waiting for that deadline,
// wakes then, finds the next one and waits again.
MMRESULT TimerService::kill(UINT id) {
    uint32_t index = id & (kSlots - 1);
    uint32_t generation = id >> kSlotBits;
    std::unique_lock lock(mutex_);
    Slot& s = slots_[index];
    if (id == 0 || !s.active || s.generation != generation) {
        return MMSYSERR_INVALPARAM;
    }
    heapRemove(index);
    s.active = false;
    if (s.running && s.runner != std::this_thread::get_id()) {
        state_.wait(lock, [&] { return !s.running || s.generation != generation; });
    }
    return TIMERR_NOERROR;
}

// ---- dispatch ---------------------------------------------------------------------------

void TimerService::runTop(std::unique_lock<std::mutex>& lock) {
    uint32_t index = heap_[0];
    Slot& s = slots_[index];
    heapRemove(index);
    s.running = true;
    s.runner = std::this_thread::get_id();
    UINT id = (s.generation << kSlotBits) | index;
    LPTIMECALLBACK callback = s.callback;
    DWORD_PTR user = s.user;
    int64_t due = s.dueNs;
    lock.unlock();
    int64_t outerDue = tRunningDueNs; // a callback may run timers itself (manual clock)
    int64_t outerNext = tNextDueNs;
    tRunningDueNs = due;
    tNextDueNs = 0;
    callback(id, 0, user, 0, 0);
    int64_t namedNext = tNextDueNs;
    tRunningDueNs = outerDue;
    tNextDueNs = outerNext;
    lock.lock();
    s.running = false;
    s.runner = std::thread::id();
    if (s.active && s.periodic) {
        s.dueNs = due + s.periodNs;
        int64_t now = clock::nowNs();
        if (namedNext != 0) {
            s.dueNs = namedNext;
        } else if (now - s.dueNs > kCatchUpLimitNs) {
            s.dueNs = now + s.periodNs;
        }
        heapPush(index);
    } else {
        s.active = false;
    }
    state_.notify_all();
}

void TimerService::acquireDispatcher(std::unique_lock<std::mutex>& lock) {
    auto me = std::this_thread::get_id();
    state_.wait(lock, [&] { return !dispatcherBusy_ || dispatcher_ == me; });
    dispatcherBusy_ = true;
    dispatcher_ = me;
    ++dispatcherDepth_;
}

void TimerService::releaseDispatcher() {
    if (--dispatcherDepth_ == 0) {
        dispatcherBusy_ = false;
        dispatcher_ = std::thread::id();
        state_.notify_all();
        requestWake();
    }
}

// ---- the timer thread -------------------------------------------------------------------

void TimerService::wakeThread() {
    if (sleeping_.load()) {
        futexWakeOne(wakeWord_);
    }
}

void TimerService::waitForWake(uint32_t seen) {
    sleeping_.store(true);
    futexWait(wakeWord_, seen, nullptr);
    sleeping_.store(false);
}

void TimerService::sleepUntil(int64_t dueNs, uint32_t seen) {
    if (dueNs - clock::nowNs() > kFinalApproachNs) {
        timespec until = monotonicAt(dueNs - kFinalApproachNs);
        sleeping_.store(true);
        futexWait(wakeWord_, seen, &until);
        sleeping_.store(false);
        return; // the caller looks again: woken early, or the final approach follows
    }
    sleepUntilMonotonic(monotonicAt(dueNs));
}

void TimerService::threadMain() {
    std::unique_lock lock(mutex_);
    for (;;) {
        uint32_t seen = wakeWord_.load();
        if (clock::isManual() || heapSize_ == 0 || dispatcherBusy_) {
            lock.unlock();
            waitForWake(seen);
            lock.lock();
            continue;
        }
        int64_t due = slots_[heap_[0]].dueNs;
        if (due > clock::nowNs()) {
            lock.unlock();
            sleepUntil(due, seen);
            lock.lock();
            continue;
        }
        acquireDispatcher(lock);
        runTop(lock);
        releaseDispatcher();
    }
}

void TimerService::setManual(bool on) {
    {
        std::lock_guard guard(mutex_);
        clock::setManual(on);
        requestWake();
    }
    wakeThread();
}

void TimerService::advance(uint32_t ms) {
    std::unique_lock lock(mutex_);
    if (!clock::isManual()) {
        return;
    }
    acquireDispatcher(lock);
    int64_t target = clock::nowNs() + int64_t{ms} * kMsNs;
    while (clock::isManual() && heapSize_ > 0 && slots_[heap_[0]].dueNs <= target) {
        clock::advanceManualTo(slots_[heap_[0]].dueNs);
        runTop(lock);
    }
    if (clock::isManual()) {
        clock::advanceManualTo(target);
    }
    releaseDispatcher();
    lock.unlock();
    wakeThread();
}

} // namespace cvx::platform
