// corvexEvent, corvexEventDirect and CorvexMapEvent: the application's ways to send MIDI.
#include "core/client_ops.h"
#include "cvxcore.h"
#include "midi/message_classes.h"
#include "output/send_to_output.h"
#include "routing/delay_pump.h"
#include "routing/injection.h"
#include "routing/processing_loop.h"
#include "timecode/time_code_feed.h"

using namespace cvx::core;

extern "C" {

void m32corvexEvent(uint64_t handle, uint16_t status, uint16_t channel, uint16_t data1,
                    uint16_t data2, int type) noexcept {
    CvxClient* client = clientFromHandle(handle);
    if (client != nullptr) {
        inject(*client, packMessage(status | channel, data1, data2, originMark(type)), type);
    }
}

void m32corvexEventDirect(uint64_t handle, int output, uint16_t status, uint16_t data1,
                          uint16_t data2, int type) noexcept {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr) {
        return;
    }
    uint32_t message = packMessage(status, data1, data2, originMark(type));
    recordInputActivity(*client, kGeneratedPort,
                        cvx::midi::inputStatusClass(cvx::midi::statusOf(message)));
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
                       uint16_t data2) noexcept {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr) {
        return;
    }
    uint32_t message = packMessage(status, data1, data2, CVX_ORIGIN_DEVICE);
    recordInputActivity(*client, input, cvx::midi::inputStatusClass(cvx::midi::statusOf(message)));
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
