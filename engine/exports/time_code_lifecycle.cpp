#include "exports/time_code_lifecycle.h"

#include "core/client.h"
#include "core/engine_lock.h"
#include "routing/injection.h"
#include "timecode/clock_generator.h"
#include "timecode/generator_timer.h"
#include "timecode/mtc_generator.h"
#include "timecode/sync_tracker.h"
#include "timecode/time_code_tracker.h"

namespace cvx::timecode {

namespace {

constexpr uint16_t kDefaultRate = 3;
constexpr uint32_t kDefaultPeriodMs = 5;
constexpr uint16_t kDefaultTimebase = 120;
constexpr uint16_t kDefaultTempo = 10000;

} // namespace

void initTimeCodeDefaults(TimeCodeState& state) {
    TimeCodeTracker(state.received).reset();
    MtcGenerator(state.mtc).configure(kDefaultRate, 0);
    state.mtc.timer.periodMs.store(kDefaultPeriodMs);
    ClockGenerator clock(state.clock);
    clock.setTimebase(kDefaultTimebase);
    clock.setTempo(kDefaultTempo);
    state.clock.timer.periodMs.store(kDefaultPeriodMs);
    SyncTracker(state.sync).setTimebase(kDefaultTimebase);
    state.sync.lastTempo = kDefaultTempo;
    state.send = core::injectGenerated;
}

void stopGenerators(core::CvxClient& client) {
    stopGeneratorTimer(client.timeCode.mtc.timer);
    stopGeneratorTimer(client.timeCode.clock.timer);
}

void resetReceivedTime(TimeCodeState& state) {
    core::EngineGuard guard(core::engineLock());
    TimeCodeTracker(state.received).reset();
}

} // namespace cvx::timecode
