// The engine exports that hand the engine a filter or a data map. Each copies what it is
// given; the caller keeps its records.
//
// Map replacements take the engine lock, which every processing loop holds while it runs a
// map: a loop therefore never runs on a half-replaced map, never reads a released block, and
// a route's NRPN/RPN state is never reset under a running step. The active flag and the
// item, SysEx and route pointers are in addition published with release order, because a few
// readers (the "is the map active" and keyboard checks) look at them without the lock.
#include "core/client.h"
#include "core/engine_lock.h"
#include "cvxcore.h"
#include "mapping/map_storage.h"

namespace {

using cvx::core::clientFromHandle;
using cvx::core::CvxClient;
using cvx::core::EngineGuard;
using cvx::core::engineLock;
using cvx::core::kPortCount;

bool isPortIndex(int index) {
    return index >= 0 && static_cast<uint32_t>(index) < kPortCount;
}

// The route-map slot of (input, output), or nullptr for indices out of range.
cvx::mapping::RouteMap** routeSlot(CvxClient& client, int input, int output) {
    if (!isPortIndex(input) || !isPortIndex(output) || client.outputs == nullptr) {
        return nullptr;
    }
    return &client.outputs->ports[output].routeMaps[input];
}

} // namespace

extern "C" {

CVX_API void m32SendFilter(uint64_t handle, CFilter* filter) {
    CvxClient* client = clientFromHandle(handle);
    if (client != nullptr && filter != nullptr) {
        client->filter.store(*filter);
    }
}

CVX_API int m32SendMap(uint64_t handle, const SMapper& map) {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr || client->arena == nullptr) {
        return 0;
    }
    EngineGuard guard(engineLock());
    cvx::mapping::storeGlobalMap(*client->arena, client->globalMap, client->globalNrpn, map);
    return 1;
}

CVX_API int m32SendPDMap(uint64_t handle, int input, int output, const SMapper& map) {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr || client->arena == nullptr) {
        return 0;
    }
    cvx::mapping::RouteMap** slot = routeSlot(*client, input, output);
    if (slot == nullptr) {
        return 0;
    }
    EngineGuard guard(engineLock());
    return cvx::mapping::storeRouteMap(*client->arena, *slot, map) ? 1 : 0;
}

CVX_API void m32ClearPDMap(uint64_t handle, int input, int output) {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr || client->arena == nullptr) {
        return;
    }
    cvx::mapping::RouteMap** slot = routeSlot(*client, input, output);
    if (slot == nullptr) {
        return;
    }
    EngineGuard guard(engineLock());
    cvx::mapping::clearRouteMap(*client->arena, *slot);
}

CVX_API int m32SendParms(uint64_t handle, uint32_t first, uint32_t sysexSpacingMs) {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr) {
        return 0;
    }
    client->sendParmsFirst = first;
    client->sysexSpacingMs.store(sysexSpacingMs, std::memory_order_relaxed);
    return 1;
}

} // extern "C"
