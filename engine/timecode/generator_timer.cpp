#include "timecode/generator_timer.h"

#include <algorithm>

namespace cvx::timecode {

namespace {

constexpr int64_t kMsNs = 1'000'000;
// A tick makes up at most this much time at once.
constexpr int64_t kMostOwedNs = 10'000 * kMsNs;

// How many messages of the grid are due at `nowNs`: the largest k with
// messageDueNs(k) <= nowNs. Deadlines are rounded down to the nanosecond, so message k is
// due once k × ns < (since + 1) × per, i.e. k = ((since + 1) × per - 1) / ns.
uint64_t messagesDueBy(int64_t originNs, MessageInterval interval, int64_t nowNs) {
    if (nowNs < originNs) {
        return 0;
    }
    // Split so that no product overflows 64 bits: the remainder times `per` stays small.
    auto sincePlusOne = static_cast<uint64_t>(nowNs - originNs) + 1;
    uint64_t whole = sincePlusOne / interval.ns * interval.per;
    uint64_t rest = sincePlusOne % interval.ns * interval.per;
    return rest == 0 ? whole - 1 : whole + (rest - 1) / interval.ns;
}

uint32_t clampedPeriod(uint32_t period, const TIMECAPS& caps) {
    return std::clamp<uint32_t>(period, caps.wPeriodMin,
                                std::max(caps.wPeriodMin, caps.wPeriodMax));
}

} // namespace

bool startGeneratorTimer(GeneratorTimer& timer, LPTIMECALLBACK tick, core::CvxClient& client) {
    TIMECAPS caps{};
    if (isRunning(timer) || timeGetDevCaps(&caps, sizeof caps) != TIMERR_NOERROR) {
        return false;
    }
    uint32_t period = clampedPeriod(timer.periodMs.load(), caps);
    timer.periodMs.store(period);
    timer.gridFixed.store(false);
    timer.sentMessages.store(0);
    timeBeginPeriod(period);
    UINT id = timeSetEvent(period, period, tick, reinterpret_cast<DWORD_PTR>(&client),
                           TIME_PERIODIC | TIME_CALLBACK_FUNCTION);
    if (id == 0) {
        timeEndPeriod(period);
        return false;
    }
    timer.id.store(id);
    return true;
}

bool stopGeneratorTimer(GeneratorTimer& timer) {
    UINT id = timer.id.exchange(0);
    if (id == 0) {
        return false;
    }
    timeKillEvent(id);
    timeEndPeriod(timer.periodMs.load());
    return true;
}

int64_t messageDueNs(int64_t originNs, MessageInterval interval, uint64_t k) {
    uint64_t offset =
        k / interval.per * interval.ns + k % interval.per * interval.ns / interval.per;
    return originNs + static_cast<int64_t>(offset);
}

TickEntry::TickEntry(GeneratorTimer& timer, int64_t dueNs, int64_t nowNs, MessageInterval interval)
    : timer_(timer) {
    if (timer.activeTicks.fetch_add(1) != 0) {
        return;
    }
    covers_ = true;
    int64_t origin = timer.gridOriginNs.load();
    uint64_t sent = timer.sentMessages.load();
    if (!timer.gridFixed.load()) {
        // The first tick is due one period after the timer was set: that is the origin.
        origin = dueNs - int64_t{timer.periodMs.load()} * kMsNs;
        sent = 0;
        timer.gridFixed.store(true);
    } else if (!(interval == timer.interval)) {
        origin = messageDueNs(origin, timer.interval, sent);
        sent = 0;
    }
    timer.interval = interval;
    uint64_t dueBy = messagesDueBy(origin, interval, std::max(dueNs, nowNs));
    int64_t firstOwed = messageDueNs(origin, interval, sent + 1);
    if (firstOwed < nowNs - kMostOwedNs) {
        // Give up what lies further back than the limit: the grid moves on by that much.
        origin += nowNs - kMostOwedNs - firstOwed;
        dueBy = messagesDueBy(origin, interval, nowNs);
    }
    due_ = static_cast<uint32_t>(dueBy > sent ? dueBy - sent : 0);
    sent = std::max(sent, dueBy);
    timer.gridOriginNs.store(origin);
    timer.sentMessages.store(sent);
    nextDueNs_ = messageDueNs(origin, interval, sent + 1);
}

} // namespace cvx::timecode
