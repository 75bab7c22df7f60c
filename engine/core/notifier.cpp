#include "core/notifier.h"

#include "core/engine_lock.h"
#include "core/pass_clock.h"

namespace cvx::core {

namespace {

constexpr UINT kRawDelayMs = 5;
constexpr UINT kRawSpacingMs = 20;
constexpr UINT kRawResolutionMs = 2;

void rawNotifyFired(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    auto& client = *reinterpret_cast<CvxClient*>(user);
    // Cleared before posting: an event queued from here on schedules a notice of its own.
    client.notify.rawPending.store(false);
    {
        EngineGuard guard(engineLock());
        client.notify.lastRawTick = GetTickCount();
    }
    cvxPostMessage(client.windows.rawMonitor.load(), WM_CVX_EVENTS, 0, 0);
}

} // namespace

void notifyMain(CvxClient& client) {
    cvxPostMessage(client.windows.main, WM_CVX_EVENTS, 0, 0);
    client.notify.lastMainTick.store(passTime(), std::memory_order_relaxed);
}

void scheduleRawNotify(CvxClient& client) {
    if (client.notify.rawPending.exchange(true)) {
        return;
    }
    uint32_t last = 0;
    {
        EngineGuard guard(engineLock());
        last = client.notify.lastRawTick;
    }
    uint32_t since = GetTickCount() - last;
    UINT delay = kRawDelayMs;
    if (since < kRawSpacingMs - kRawDelayMs) {
        delay += kRawSpacingMs - kRawDelayMs - since;
    }
    UINT timer = timeSetEvent(delay, kRawResolutionMs, rawNotifyFired,
                              reinterpret_cast<DWORD_PTR>(&client), TIME_ONESHOT);
    client.notify.rawTimer.store(timer);
    if (timer == 0) {
        client.notify.rawPending.store(false);
    }
}

void cancelRawNotify(CvxClient& client) {
    UINT timer = client.notify.rawTimer.exchange(0);
    if (timer != 0) {
        timeKillEvent(timer);
    }
    client.notify.rawPending.store(false);
}

} // namespace cvx::core
