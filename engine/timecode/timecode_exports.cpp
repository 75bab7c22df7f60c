// The time-code and clock exports: configuring, starting and stopping the two generators
// and sending the sync commands.
#include "core/client.h"
#include "core/engine_lock.h"
#include "cvxcore.h"
#include "timecode/clock_generator.h"
#include "timecode/generator_ticks.h"
#include "timecode/generator_timer.h"
#include "timecode/mtc_generator.h"
#include "timecode/sync_tracker.h"

namespace cvx::timecode {

namespace {

enum SyncCommand : uint16_t {
    kSyncStart = 1,
    kSyncContinue = 2,
    kSyncStop = 3,
    kSyncSongPosition = 4,
};

void sendSyncCommand(core::CvxClient& client, uint16_t command, uint16_t value) {
    GeneratedSender send = client.timeCode.send;
    switch (command) {
    case kSyncStart:
        send(client, 0xFA, 0, 0);
        break;
    case kSyncContinue:
        send(client, 0xFB, 0, 0);
        break;
    case kSyncStop:
        send(client, 0xFC, 0, 0);
        break;
    case kSyncSongPosition:
        send(client, 0xF2, value & 0x7F, value >> 7 & 0x7F);
        break;
    default:
        break;
    }
}

// A timer period changes only while its generator is stopped: the running timer keeps the
// period the generator's arithmetic assumes.
void setPeriodWhenStopped(GeneratorTimer& timer, uint32_t period) {
    if (!isRunning(timer)) {
        timer.periodMs.store(period);
    }
}

} // namespace

} // namespace cvx::timecode

using namespace cvx::timecode;
using cvx::core::clientFromHandle;
using cvx::core::CvxClient;
using cvx::core::EngineGuard;
using cvx::core::engineLock;

extern "C" {

int m32ConfigMTC(uint64_t handle, uint16_t rate, uint16_t period, uint32_t start) noexcept {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr) {
        return 0;
    }
    TimeCodeState& timeCode = client->timeCode;
    {
        EngineGuard guard(engineLock());
        MtcGenerator(timeCode.mtc).configure(rate, start);
    }
    if (static_cast<int16_t>(period) > 0) {
        setPeriodWhenStopped(timeCode.mtc.timer, period);
    }
    return 1;
}

int m32GenMTCStart(uint64_t handle) noexcept {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr || isRunning(client->timeCode.mtc.timer)) {
        return 0;
    }
    {
        EngineGuard guard(engineLock());
        MtcGenerator(client->timeCode.mtc).restart();
    }
    return startGeneratorTimer(client->timeCode.mtc.timer, mtcTick, *client) ? 1 : 0;
}

int m32GenMTCStop(uint64_t handle, int reset) noexcept {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr) {
        return 0;
    }
    int result = stopGeneratorTimer(client->timeCode.mtc.timer) ? 1 : 0;
    if (reset != 0) {
        EngineGuard guard(engineLock());
        MtcGenerator(client->timeCode.mtc).rewind();
        result = 1;
    }
    return result;
}

int m32ConfigSync(uint64_t handle, uint16_t period, uint16_t tempo, uint16_t timebase) noexcept {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr || !isValidTimebase(timebase)) {
        return 0;
    }
    TimeCodeState& timeCode = client->timeCode;
    {
        EngineGuard guard(engineLock());
        ClockGenerator clock(timeCode.clock);
        clock.setTimebase(timebase);
        clock.setTempo(tempo);
        SyncTracker(timeCode.sync).setTimebase(timebase);
    }
    if (period != 0) {
        setPeriodWhenStopped(timeCode.clock.timer, period);
    }
    return 1;
}

int m32StartClock(uint64_t handle) noexcept {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr || isRunning(client->timeCode.clock.timer)) {
        return 0;
    }
    return startGeneratorTimer(client->timeCode.clock.timer, clockTick, *client) ? 1 : 0;
}

int m32StopClock(uint64_t handle) noexcept {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr) {
        return 0;
    }
    return stopGeneratorTimer(client->timeCode.clock.timer) ? 1 : 0;
}

int m32SyncCmd(uint64_t handle, uint16_t command, uint16_t value) noexcept {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr) {
        return 0;
    }
    sendSyncCommand(*client, command, value);
    return 1;
}

} // extern "C"
