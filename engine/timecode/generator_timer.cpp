#include "timecode/generator_timer.h"

#include <algorithm>

namespace cvx::timecode {

namespace {

constexpr int64_t kMsNs = 1'000'000;
// A tick makes up at most this much time at once. Further behind (a suspended machine),
// the excess is given up rather than sent as a flood: the stream then resumes shifted.
constexpr uint64_t kMostOwedMs = 10'000;

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
    timer.coveredPeriods.store(0);
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

TickEntry::TickEntry(GeneratorTimer& timer, int64_t dueNs, int64_t nowNs) : timer_(timer) {
    if (timer.activeTicks.fetch_add(1) != 0) {
        return;
    }
    uint32_t period = timer.periodMs.load();
    int64_t periodNs = int64_t{period} * kMsNs;
    if (!timer.gridFixed.load()) {
        // The first tick is due one period after the timer was set: that is the origin.
        timer.gridOriginNs.store(dueNs - periodNs);
        timer.gridFixed.store(true);
    }
    int64_t sinceOrigin = std::max(dueNs, nowNs) - timer.gridOriginNs.load();
    uint64_t elapsed = sinceOrigin > 0 ? static_cast<uint64_t>(sinceOrigin / periodNs) : 0;
    uint64_t covered = timer.coveredPeriods.load();
    if (elapsed <= covered) {
        return;
    }
    uint64_t owed =
        std::min<uint64_t>(elapsed - covered, std::max<uint64_t>(kMostOwedMs / period, 1));
    timer.coveredPeriods.store(elapsed);
    ms_ = static_cast<uint32_t>(owed * period);
}

} // namespace cvx::timecode
