// corvexEvent, corvexEventDirect and CorvexMapEvent: the application's ways to send MIDI.
#include "routing/injection.h"

#include "core/client_ops.h"
#include "core/delayed_pool.h"
#include "cvxcore.h"
#include "routing/delay_pump.h"
#include "midi/message_classes.h"
#include "routing/processing_loop.h"
#include "routing/route_event.h"
#include "output/send_to_output.h"
#include "timecode/time_code_feed.h"

namespace cvx::core {

namespace {

// The origin mark an injection type leaves in byte 3 of the message.
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

// Data bytes are kept to 7 bits: a caller's value above 127 would otherwise reach the wire
// as a status byte and corrupt the receiver's parsing of everything after it.
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

void inject(CvxClient& client, uint32_t message, int type) {
    uint8_t status = routing::statusOf(message);
    recordInputActivity(client, kGeneratedPort, routing::inputStatusClass(status));
    EVENT event = injectedEvent(client, message, kGeneratedPort);
    if (type == 1 && mapping::mapsKeyboard(client.globalMap)) {
        injectThroughKeyboardMap(client, event);
    } else if (anyOutputOpen(client)) {
        routing::routeEvent(client, event, true);
    }
    finishInjection(client, event);
}

} // namespace

void injectGenerated(CvxClient& client, uint8_t status, uint8_t data1, uint8_t data2) {
    inject(client, packMessage(status, data1, data2, CVX_ORIGIN_PANEL), 0);
}

} // namespace cvx::core

using namespace cvx::core;

extern "C" {

void m32corvexEvent(uint64_t handle, uint16_t status, uint16_t channel, uint16_t data1,
                    uint16_t data2, int type) {
    CvxClient* client = clientFromHandle(handle);
    if (client != nullptr) {
        inject(*client, packMessage(status | channel, data1, data2, originMark(type)), type);
    }
}

void m32corvexEventDirect(uint64_t handle, int output, uint16_t status, uint16_t data1,
                          uint16_t data2, int type) {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr) {
        return;
    }
    uint32_t message = packMessage(status, data1, data2, originMark(type));
    recordInputActivity(*client, kGeneratedPort,
                        cvx::routing::inputStatusClass(cvx::routing::statusOf(message)));
    EVENT event = injectedEvent(*client, message, 0);
    int highest = client->outputs->highestOpen.load();
    for (int o = 0; o <= highest; ++o) {
        if (output == -1 || output == o) {
            EVENT sent = event;
            cvx::routing::sendGenerated(*client, static_cast<uint32_t>(o), sent);
        }
    }
    cvxPostMessage(client->windows.main, WM_CVX_EVENTS, 0, 0);
    cvx::timecode::trackShortMessage(*client, event);
}

void m32CorvexMapEvent(uint64_t handle, uint32_t input, uint16_t status, uint16_t data1,
                       uint16_t data2) {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr) {
        return;
    }
    uint32_t message = packMessage(status, data1, data2, CVX_ORIGIN_DEVICE);
    recordInputActivity(*client, input,
                        cvx::routing::inputStatusClass(cvx::routing::statusOf(message)));
    EVENT event = injectedEvent(*client, message, input < kPortCount ? input : CVX_UNKNOWN_PORT);
    cvx::routing::runProcessingLoop(
        *client, event, &client->globalMap, client->globalNrpn,
        [&](const EVENT& work, uint32_t delay) {
            int highest = client->outputs->highestOpen.load();
            for (int o = 0; o <= highest; ++o) {
                if (client->outputs->ports[o].handle.load() == nullptr) {
                    continue;
                }
                if (delay > 0 && cvx::routing::scheduleDelayed(
                                     *client, work, o, kMarkGenerated | kMarkNoMainQueue, delay)) {
                    continue;
                }
                EVENT sent = work;
                cvx::routing::sendGenerated(*client, static_cast<uint32_t>(o), sent);
            }
        });
    finishInjection(*client, event);
}

} // extern "C"
