// CorvexLuaEvent: a message a Lua script made, injected as if it came from an input.
#include "core/client_ops.h"
#include "cvxcore.h"
#include "routing/processing_loop.h"
#include "routing/route_event.h"

using namespace cvx::core;

extern "C" {

void CorvexLuaEvent(uint64_t handle, int port, uint32_t status, uint32_t data1, uint32_t data2) {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr) {
        return;
    }
    EVENT event{};
    event.timestamp = elapsedMs(*client);
    event.port = port >= 0 && port < static_cast<int>(kPortCount) ? static_cast<uint8_t>(port)
                                                                  : CVX_UNKNOWN_PORT;
    event.message = (status & 0xFFFF) | (data1 & 0xFF) << 8 |
                    ((data2 & 0xFF) | uint32_t{CVX_ORIGIN_LUA} << 8) << 16;
    // No filter, patch map, tracking, divert or script check, and map delays do not apply.
    cvx::routing::runProcessingLoop(*client, event, cvx::routing::globalMapFor(*client, false),
                                    client->globalNrpn, [&](const EVENT& work, uint32_t) {
                                        if (anyOutputOpen(*client)) {
                                            cvx::routing::routeEvent(*client, work, true);
                                        } else {
                                            addToMainQueue(*client, work);
                                        }
                                    });
    cvxPostMessage(client->windows.main, WM_CVX_EVENTS, 0, 0);
}

} // extern "C"
