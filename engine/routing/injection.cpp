#include "routing/injection.h"

#include "core/client_ops.h"
#include "core/delayed_pool.h"
#include "cvxcore.h"
#include "midi/message_classes.h"
#include "routing/delay_pump.h"
#include "routing/processing_loop.h"
#include "routing/route_event.h"
#include "timecode/time_code_feed.h"

namespace cvx::core {

uint32_t originMark(int type) {
    switch (type) {
    case 0:
        return CVX_ORIGIN_PANEL;
    case 1:
        return CVX_ORIGIN_KEYBOARD;
    case 2:
        return CVX_ORIGIN_LUA;
    case 3:
        return CVX_ORIGIN_AUTOMATION;
    default:
        return CVX_ORIGIN_DEVICE;
    }
}

uint32_t packMessage(uint32_t status, uint32_t data1, uint32_t data2, uint32_t mark) {
    return (status & 0xFF) | (data1 & 0x7F) << 8 | (data2 & 0x7F) << 16 | mark << 24;
}

EVENT injectedEvent(CvxClient& client, uint32_t message, uint32_t port) {
    EVENT event{};
    event.timestamp = elapsedMs(client);
    event.message = message;
    event.port = static_cast<uint8_t>(port);
    return event;
}

void finishInjection(CvxClient& client, const EVENT& event) {
    routing::startPumpIfNeeded(client);
    cvxPostMessage(client.windows.main, WM_CVX_EVENTS, 0, 0);
    timecode::trackShortMessage(client, event);
}

namespace {

// PC-keyboard events through the global map: delayed results leave later to every output.
void injectThroughKeyboardMap(CvxClient& client, const EVENT& event) {
    routing::runProcessingLoop(
        client, event, &client.globalMap, client.globalNrpn,
        [&](const EVENT& work, uint32_t delay) {
            if (delay > 0 && routing::scheduleDelayed(client, work, kNoOutput,
                                                      kMarkGenerated | kMarkNoMainQueue, delay)) {
                return;
            }
            if (anyOutputOpen(client)) {
                routing::routeEvent(client, work, true);
            }
        });
}

} // namespace

void inject(CvxClient& client, uint32_t message, int type) {
    uint8_t status = midi::statusOf(message);
    recordInputActivity(client, kGeneratedPort, midi::inputStatusClass(status));
    EVENT event = injectedEvent(client, message, kGeneratedPort);
    if (type == 1 && mapping::mapsKeyboard(client.globalMap)) {
        injectThroughKeyboardMap(client, event);
    } else if (anyOutputOpen(client)) {
        routing::routeEvent(client, event, true);
    }
    finishInjection(client, event);
}

void injectGenerated(CvxClient& client, uint8_t status, uint8_t data1, uint8_t data2) {
    inject(client, packMessage(status, data1, data2, CVX_ORIGIN_PANEL), 0);
}

} // namespace cvx::core
