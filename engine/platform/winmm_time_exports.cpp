// The WINMM-shaped multimedia timer calls, over the timer service and the
// service clock.
#include "cvx_platform.h"
#include "platform/service_clock.h"
#include "platform/timer_service.h"
#include "vmidi.h"

using cvx::platform::TimerService;
namespace clk = cvx::platform::clock;

extern "C" {

MMRESULT timeSetEvent(UINT delay, UINT resolution, LPTIMECALLBACK callback, DWORD_PTR user,
                      UINT flags) {
    (void)resolution; // every timer is served at the service's full precision
    return TimerService::instance().set(delay, callback, user, flags);
}

MMRESULT timeKillEvent(UINT timerId) {
    return TimerService::instance().kill(timerId);
}

DWORD timeGetTime(void) {
    return clk::nowMs();
}

DWORD GetTickCount(void) {
    return clk::nowMs();
}

MMRESULT timeGetDevCaps(LPTIMECAPS caps, UINT size) {
    if (caps == nullptr || size != sizeof(TIMECAPS)) {
        return TIMERR_NOCANDO;
    }
    caps->wPeriodMin = TimerService::kMinDelay;
    caps->wPeriodMax = TimerService::kMaxDelay;
    return TIMERR_NOERROR;
}

MMRESULT timeBeginPeriod(UINT period) {
    return period >= TimerService::kMinDelay && period <= TimerService::kMaxDelay ? TIMERR_NOERROR
                                                                                  : TIMERR_NOCANDO;
}

MMRESULT timeEndPeriod(UINT period) {
    return timeBeginPeriod(period);
}

void cvxClockManual(int on) {
    TimerService::instance().setManual(on != 0);
}

void cvxClockAdvance(uint32_t ms) {
    TimerService::instance().advance(ms);
}

} // extern "C"
