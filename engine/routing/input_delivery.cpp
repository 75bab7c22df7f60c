#include "routing/input_delivery.h"

#include "core/client_ops.h"
#include "core/delayed_pool.h"
#include "routing/delay_pump.h"
#include "routing/processing_loop.h"
#include "routing/route_event.h"

namespace cvx::routing {

using core::CvxClient;

bool scriptTakes(CvxClient& client, const EVENT& event) {
    HWND script = client.windows.script.load();
    if (script != nullptr) {
        core::addToQueue(client.consumers.script, event);
        cvxPostMessage(script, WM_CVX_AUTOMATION_DATA, 0, 0);
    }
    return client.flags.scriptDivert.load() != 0;
}

bool deliverAsInput(CvxClient& client, const EVENT& event, bool scriptCheck, bool noMainQueue) {
    if (scriptCheck && scriptTakes(client, event)) {
        return false;
    }
    if (core::anyOutputOpen(client)) {
        return routeEvent(client, event, true);
    }
    if (!noMainQueue) {
        core::addToMainQueue(client, event);
    }
    return false;
}

namespace {

uint16_t delayMarks(InputMode mode, bool rawMonitored) {
    if (mode == InputMode::Filtered) {
        return core::kMarkRouteInput | core::kMarkNoMainQueue;
    }
    return core::kMarkRouteInput | core::kMarkScriptCheck |
           (rawMonitored ? core::kMarkNoMainQueue : 0);
}

} // namespace

bool processInputEvent(CvxClient& client, const EVENT& source, InputMode mode, bool rawMonitored,
                       mapping::MapCopy* map) {
    bool scheduled = false;
    uint16_t marks = delayMarks(mode, rawMonitored);
    runProcessingLoop(
        client, source, map, client.globalNrpn, [&](const EVENT& work, uint32_t delay) {
            if (delay > 0 && scheduleDelayed(client, work, core::kNoOutput, marks, delay)) {
                scheduled = true;
            } else if (mode == InputMode::Filtered) {
                scheduled |= routeEvent(client, work, false);
            } else {
                scheduled |= deliverAsInput(client, work, true, rawMonitored);
            }
        });
    return scheduled;
}

} // namespace cvx::routing
