#include "timecode/generator_timer.h"

#include <algorithm>

namespace cvx::timecode {

namespace {

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
    timer.owedMs.store(0);
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

TickEntry::TickEntry(GeneratorTimer& timer) : timer_(timer) {
    uint32_t period = timer.periodMs.load();
    if (timer.activeTicks.fetch_add(1) != 0) {
        timer.owedMs.fetch_add(period);
        return;
    }
    ms_ = period + timer.owedMs.exchange(0);
}

} // namespace cvx::timecode
