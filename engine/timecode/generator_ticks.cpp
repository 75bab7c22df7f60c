#include "timecode/generator_ticks.h"

#include "core/client.h"
#include "core/engine_lock.h"
#include "platform/service_clock.h"
#include "platform/timer_service.h"
#include "timecode/clock_generator.h"
#include "timecode/generator_timer.h"
#include "timecode/mtc_generator.h"

namespace cvx::timecode {

namespace {

constexpr uint8_t kQuarterFrame = 0xF1;
constexpr uint8_t kClock = 0xF8;

core::CvxClient& clientOf(DWORD_PTR user) {
    return *reinterpret_cast<core::CvxClient*>(user);
}

int64_t dueNow() {
    return platform::TimerService::runningDueNs();
}

} // namespace

// Each tick sends the messages whose deadlines have come (normally one) and names the next
// message's deadline as the timer's next one. The injection path takes the engine lock
// itself; it is not held while sending.
void mtcTick(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    core::CvxClient& client = clientOf(user);
    TimeCodeState& timeCode = client.timeCode;
    MtcGenerator generator(timeCode.mtc);
    MessageInterval interval{};
    {
        core::EngineGuard guard(core::engineLock());
        interval = generator.interval();
    }
    TickEntry entry(timeCode.mtc.timer, dueNow(), platform::clock::nowNs(), interval);
    if (!entry.covers()) {
        return;
    }
    for (uint32_t due = entry.due(); due > 0; --due) {
        uint8_t piece = 0;
        {
            core::EngineGuard guard(core::engineLock());
            piece = generator.nextPiece();
        }
        timeCode.send(client, kQuarterFrame, piece, 0);
    }
    platform::TimerService::setRunningNextDueNs(entry.nextDueNs());
}

void clockTick(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    core::CvxClient& client = clientOf(user);
    TimeCodeState& timeCode = client.timeCode;
    MessageInterval interval{};
    {
        core::EngineGuard guard(core::engineLock());
        interval = ClockGenerator(timeCode.clock).interval();
    }
    TickEntry entry(timeCode.clock.timer, dueNow(), platform::clock::nowNs(), interval);
    if (!entry.covers()) {
        return;
    }
    for (uint32_t due = entry.due(); due > 0; --due) {
        timeCode.send(client, kClock, 0, 0);
    }
    platform::TimerService::setRunningNextDueNs(entry.nextDueNs());
}

} // namespace cvx::timecode
