#include "routing/route_event.h"

#include "core/delayed_pool.h"
#include "output/send_to_output.h"
#include "routing/delay_pump.h"
#include "routing/processing_loop.h"

#include <utility>

namespace cvx::routing {

namespace {

using core::CvxClient;

// Whether a route map is published for this input; the map itself is only looked at under
// the engine lock, as the application replaces and frees route maps under it.
bool hasRouteMap(core::OutputPort& port, uint8_t input) {
    return input < core::kPortCount && mapping::routeMapIn(port.routeMaps[input]) != nullptr;
}

bool routeThroughMap(CvxClient& client, uint32_t output, const EVENT& event, bool monitor) {
    core::OutputPort& port = client.outputs->ports[output];
    bool scheduled = false;
    uint16_t marks =
        core::kMarkRouteOutput | core::kMarkNoMainQueue | (monitor ? core::kMarkMonitor : 0);
    runSelectedLoop(
        client, event,
        [&] {
            mapping::RouteMap* route = mapping::routeMapIn(port.routeMaps[event.port]);
            return route != nullptr
                       ? std::pair{&route->map, &route->nrpn}
                       : std::pair{static_cast<mapping::MapCopy*>(nullptr), &client.globalNrpn};
        },
        [&](const EVENT& work, uint32_t delay) {
            if (delay > 0 &&
                scheduleDelayed(client, work, static_cast<int>(output), marks, delay)) {
                scheduled = true;
                return;
            }
            sendRouted(client, output, work, monitor);
        });
    return scheduled;
}

} // namespace

bool routeEvent(CvxClient& client, const EVENT& event, bool monitor) {
    bool scheduled = false;
    int highest = client.outputs->highestOpen.load();
    for (int output = 0; output <= highest; ++output) {
        core::OutputPort& port = client.outputs->ports[output];
        if (port.handle.load() == nullptr) {
            continue;
        }
        if (hasRouteMap(port, event.port)) {
            scheduled |= routeThroughMap(client, static_cast<uint32_t>(output), event, monitor);
        } else {
            sendRouted(client, static_cast<uint32_t>(output), event, monitor);
        }
    }
    return scheduled;
}

} // namespace cvx::routing
