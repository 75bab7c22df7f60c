#include "input/short_message_path.h"

#include "core/client_ops.h"
#include "core/delayed_pool.h"
#include "core/notifier.h"
#include "core/pass_clock.h"
#include "input/input_index.h"
#include "mapping/message_filter.h"
#include "midi/message_classes.h"
#include "routing/delay_pump.h"
#include "routing/input_delivery.h"
#include "routing/processing_loop.h"
#include "timecode/time_code_feed.h"

namespace cvx::input {

namespace {

using core::CvxClient;
using midi::statusOf;

constexpr uint32_t kPatchPassOnDelayMs = 4;

bool isFilteredOut(const CvxClient& client, const EVENT& event) {
    return mapping::isFiltered(event.message, client.filter.load());
}

// Queues the event for the raw monitor; returns whether it was raw-monitored.
bool rawMonitor(CvxClient& client, const EVENT& event) {
    if (client.windows.rawMonitor.load() == nullptr) {
        return false;
    }
    bool filterApplies = (client.filter.flags() & CVX_FILTER_RAW_MONITOR) != 0;
    if (filterApplies && isFilteredOut(client, event)) {
        return false;
    }
    core::addToQueue(client.consumers.raw, event);
    core::scheduleRawNotify(client);
    return true;
}

// A program change taken by the patch map is told to the main window and, with pass-on,
// processed again 4 ms later. Returns whether it was taken.
bool patchMapIntercepts(CvxClient& client, const EVENT& event) {
    uint8_t status = statusOf(event.message);
    if ((status & 0xF0) != 0xC0 ||
        !client.patchMap.intercepts(status, static_cast<uint8_t>(event.message >> 8))) {
        return false;
    }
    cvxPostMessage(client.windows.main, WM_CVX_PATCH_CHANGE, event.port,
                   static_cast<intptr_t>(event.message));
    if (client.patchMap.passesOn() &&
        routing::scheduleDelayed(client, event, core::kNoOutput, core::kMarkRerun,
                                 kPatchPassOnDelayMs)) {
        routing::startPumpIfNeeded(client);
    }
    return true;
}

// With the Lua divert on, the event goes to the Lua host instead (time code and realtime
// messages excepted). Returns whether it was diverted.
bool luaTakes(CvxClient& client, const EVENT& event) {
    HWND lua = client.windows.lua.load();
    if (lua == nullptr || client.flags.luaDivert.load() == 0) {
        return false;
    }
    uint8_t status = statusOf(event.message);
    if (status == 0xF1 || status >= 0xF8) {
        return false;
    }
    if ((client.filter.flags() & CVX_FILTER_DATA) != 0 && isFilteredOut(client, event)) {
        return false;
    }
    core::addToQueue(client.consumers.lua, event);
    cvxPostMessage(lua, WM_CVX_SCRIPTINPUT, 0, 0);
    return true;
}

// The delayed-event pump is started only when the message scheduled something: testing the
// pool takes the engine lock, which would otherwise be taken once more for every message.
void filterAndProcess(CvxClient& client, const EVENT& event, bool rawMonitored) {
    mapping::MapCopy* map = routing::globalMapFor(client, false);
    if (!isFilteredOut(client, event)) {
        if (routing::processInputEvent(client, event, routing::InputMode::Input, rawMonitored,
                                       map)) {
            routing::startPumpIfNeeded(client);
        }
        core::notifyMain(client);
        return;
    }
    if ((client.filter.flags() & CVX_FILTER_DATA) != 0 || !core::anyOutputOpen(client)) {
        return;
    }
    if (routing::processInputEvent(client, event, routing::InputMode::Filtered, rawMonitored,
                                   map)) {
        routing::startPumpIfNeeded(client);
    }
}

} // namespace

void processShortMessage(CvxClient& client, HMIDIIN handle, uint32_t message, uint32_t timestamp) {
    core::PassClock pass; // one clock reading for every time this message records
    if (client.flags.inputBlocker.load() != 0) {
        return;
    }
    int index = inputIndexOf(client, handle);
    EVENT event{};
    event.timestamp = timestamp;
    event.message = message;
    event.port = portByteOf(index);
    core::recordInputActivity(client, event.port, midi::inputStatusClass(statusOf(message)));
    bool rawMonitored = rawMonitor(client, event);
    if (patchMapIntercepts(client, event)) {
        return;
    }
    timecode::trackShortMessage(client, event);
    if (luaTakes(client, event)) {
        return;
    }
    filterAndProcess(client, event, rawMonitored);
}

} // namespace cvx::input
