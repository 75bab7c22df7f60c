// The processing loop that input, injection and the delayed-event pump share: one source
// event through a data map, each produced event handed to the caller's delivery.
//
// The loop runs under the engine lock: a map's NRPN/RPN state is changed by every message
// that passes through it, and the input thread, the pump and the application thread can all
// run the same map.
#pragma once

#include "core/client.h"
#include "core/engine_lock.h"
#include "mapping/map_loop.h"
#include "mapping/map_storage.h"
#include "mapping/sysex_sink.h"

namespace cvx::routing {

// Map SysEx targets leave through the engine's SysEx output path as coming from the event's
// input port.
mapping::SysExSink sysexSinkFor(core::CvxClient& client);

// The client's global map when it is active, or whenever `evenIfInactive`; else null.
mapping::MapCopy* globalMapFor(core::CvxClient& client, bool evenIfInactive);

// `deliver(const EVENT& work, uint32_t delayMs)` receives every event the loop produces.
template <class Deliver>
void runProcessingLoop(core::CvxClient& client, const EVENT& source, mapping::MapCopy* map,
                       mapping::NrpnState& nrpn, Deliver&& deliver) {
    core::EngineGuard guard(core::engineLock());
    mapping::MapView view{};
    if (map != nullptr) {
        view = mapping::viewOf(*map);
    }
    mapping::runMapLoop(source, map != nullptr ? &view : nullptr, nrpn, sysexSinkFor(client),
                        deliver);
}

} // namespace cvx::routing
