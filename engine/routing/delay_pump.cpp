#include "routing/delay_pump.h"

#include "core/client_ops.h"
#include "core/delayed_pool.h"
#include "midi/message_classes.h"
#include "output/send_to_output.h"
#include "routing/input_delivery.h"
#include "routing/processing_loop.h"
#include "timecode/time_code_feed.h"

namespace cvx::routing {

namespace {

using core::CvxClient;
using core::DelayedEvent;
using core::EngineGuard;

constexpr UINT kPumpPeriodMs = 5;
constexpr UINT kPumpResolutionMs = 2;

void sendToEveryOutput(CvxClient& client, EVENT& event) {
    int highest = client.outputs->highestOpen.load();
    for (int output = 0; output <= highest; ++output) {
        sendGenerated(client, static_cast<uint32_t>(output), event);
    }
}

// A patch-mapped program change passed on: processed as an input event again, without the
// filter, the raw monitor or a second intercept.
void rerunAsInput(CvxClient& client, const EVENT& event) {
    core::recordInputActivity(client, event.port,
                              midi::inputStatusClass(midi::statusOf(event.message)));
    processInputEvent(client, event, InputMode::Input, false, globalMapFor(client, true));
    timecode::trackShortMessage(client, event);
}

void deliverDue(CvxClient& client, DelayedEvent& entry) {
    EVENT event = entry.event;
    uint16_t marks = entry.marks;
    if (marks & core::kMarkRouteInput) {
        deliverAsInput(client, event, (marks & core::kMarkScriptCheck) != 0,
                       (marks & core::kMarkNoMainQueue) != 0);
    }
    if ((marks & core::kMarkRouteOutput) && entry.output >= 0) {
        sendRouted(client, static_cast<uint32_t>(entry.output), event,
                   (marks & core::kMarkMonitor) != 0);
    }
    if (marks & core::kMarkGenerated) {
        if (entry.output >= 0) {
            sendGenerated(client, static_cast<uint32_t>(entry.output), event);
        } else {
            sendToEveryOutput(client, event);
        }
    }
    if (marks & core::kMarkRerun) {
        rerunAsInput(client, event);
    }
}

// Due entries taken out of the pool under the lock, delivered after it is released.
struct DueBatch {
    static constexpr uint32_t kCapacity = 64;
    DelayedEvent entries[kCapacity];
    uint32_t count = 0;
};

// Moves up to a batch of due entries out of the pool. Returns whether more may be due.
bool takeDue(CvxClient& client, DueBatch& batch) {
    EngineGuard guard(core::engineLock());
    uint32_t now = core::elapsedMs(client);
    batch.count = 0;
    while (batch.count < DueBatch::kCapacity) {
        DelayedEvent* entry = client.delays.pool.takeDue(now);
        if (entry == nullptr) {
            break;
        }
        entry->event.timestamp = entry->due;
        batch.entries[batch.count++] = *entry;
        client.delays.pool.release(entry);
    }
    return batch.count == DueBatch::kCapacity;
}

// Kills the pump timer when nothing is pending, after the tick delivered: what it delivered
// may have scheduled more.
void stopIfIdle(CvxClient& client, UINT timer) {
    EngineGuard guard(core::engineLock());
    if (!client.delays.pool.hasPending()) {
        UINT expected = timer;
        if (client.delays.pumpTimer.compare_exchange_strong(expected, 0)) {
            timeKillEvent(timer);
        }
    }
}

void pumpTick(UINT timer, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    auto& client = *reinterpret_cast<CvxClient*>(user);
    DueBatch batch;
    bool more = true;
    while (more) {
        more = takeDue(client, batch);
        for (uint32_t i = 0; i < batch.count; ++i) {
            deliverDue(client, batch.entries[i]);
        }
    }
    stopIfIdle(client, timer);
    cvxPostMessage(client.windows.main, WM_CVX_EVENTS, 0, 0);
}

} // namespace

bool scheduleDelayed(CvxClient& client, const EVENT& event, int output, uint16_t marks,
                     uint32_t delay) {
    EngineGuard guard(core::engineLock());
    return client.delays.pool.schedule(event, output, marks, delay,
                                       core::elapsedMs(client) + delay);
}

void startPumpIfNeeded(CvxClient& client) {
    EngineGuard guard(core::engineLock());
    if (!client.delays.pool.hasPending() || client.delays.pumpTimer.load() != 0) {
        return;
    }
    client.delays.pumpTimer.store(timeSetEvent(kPumpPeriodMs, kPumpResolutionMs, pumpTick,
                                               reinterpret_cast<DWORD_PTR>(&client),
                                               TIME_PERIODIC));
}

void stopPump(CvxClient& client) {
    UINT timer = client.delays.pumpTimer.exchange(0);
    if (timer != 0) {
        timeKillEvent(timer);
    }
}

void dropDelayedForOutput(CvxClient& client, int output) {
    EngineGuard guard(core::engineLock());
    client.delays.pool.dropForOutput(output);
}

} // namespace cvx::routing
