#include "routing/route_event.h"

#include "core/delayed_pool.h"
#include "core/engine_lock.h"
#include "output/send_to_output.h"
#include "routing/delay_pump.h"
#include "routing/processing_loop.h"

namespace cvx::routing {

namespace {

using core::CvxClient;

bool routeThroughMap(CvxClient& client, uint32_t output, mapping::RouteMap& route,
                     const EVENT& event, bool monitor) {
    bool scheduled = false;
    uint16_t marks =
        core::kMarkRouteOutput | core::kMarkNoMainQueue | (monitor ? core::kMarkMonitor : 0);
    runProcessingLoop(client, event, &route.map, route.nrpn,
                      [&](const EVENT& work, uint32_t delay) {
                          if (delay > 0 && scheduleDelayed(client, work, static_cast<int>(output),
                                                           marks, delay)) {
                              scheduled = true;
                              return;
                          }
                          EVENT sent = work;
                          sendRouted(client, output, sent, monitor);
                      });
    return scheduled;
}

} // namespace

bool routeEvent(CvxClient& client, const EVENT& event, bool monitor) {
    // A route map is only valid under the lock: the application replaces and frees them.
    core::EngineGuard guard(core::engineLock());
    bool scheduled = false;
    int highest = client.outputs->highestOpen.load();
    for (int output = 0; output <= highest; ++output) {
        core::OutputPort& port = client.outputs->ports[output];
        if (port.handle.load() == nullptr) {
            continue;
        }
        mapping::RouteMap* route = event.port < core::kPortCount
                                       ? mapping::routeMapIn(port.routeMaps[event.port])
                                       : nullptr;
        if (route != nullptr) {
            scheduled |=
                routeThroughMap(client, static_cast<uint32_t>(output), *route, event, monitor);
        } else {
            EVENT sent = event;
            sendRouted(client, static_cast<uint32_t>(output), sent, monitor);
        }
    }
    return scheduled;
}

} // namespace cvx::routing
