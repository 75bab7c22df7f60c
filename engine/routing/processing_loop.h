// The processing loop that input, injection and the delayed-event pump share: one source
// event through a data map, each produced event handed to the caller's delivery.
//
// The map runs under the engine lock: a map's NRPN/RPN state is changed by every message
// that passes through it, and the input thread, the pump and the application thread can all
// run the same map; the application replaces and frees route maps under the lock too. What
// the map produces is collected in a fixed array and delivered (routed, sent, scheduled)
// after the lock is released. Should a map produce more than the array holds, the array is
// delivered under the lock, in order, and collecting goes on; sends made under the lock are
// always queued on their output's lane, never made on the spot.
#pragma once

#include "core/client.h"
#include "core/engine_lock.h"
#include "mapping/map_loop.h"
#include "mapping/map_storage.h"
#include "mapping/sysex_sink.h"

#include <array>
#include <cstdint>

namespace cvx::routing {

// Map SysEx targets leave through the engine's SysEx output path as coming from the event's
// input port.
mapping::SysExSink sysexSinkFor(core::CvxClient& client);

// The client's global map when it is active, or whenever `evenIfInactive`; else null.
mapping::MapCopy* globalMapFor(core::CvxClient& client, bool evenIfInactive);

// What one pass of the map loop produced, in order.
class LoopResults {
public:
    static constexpr uint32_t kCapacity = 32;

    bool full() const { return count_ == kCapacity; }
    void add(const EVENT& event, uint32_t delay) { results_[count_++] = {event, delay}; }

    // Hands every result to `deliver` in order and empties the array.
    template <class Deliver> void deliverAll(Deliver& deliver) {
        for (uint32_t i = 0; i < count_; ++i) {
            deliver(static_cast<const EVENT&>(results_[i].event), results_[i].delay);
        }
        count_ = 0;
    }

private:
    struct Result {
        EVENT event;
        uint32_t delay;
    };
    std::array<Result, kCapacity> results_;
    uint32_t count_ = 0;
};

// Runs `source` through the map `select()` returns under the engine lock (a MapCopy* and
// its NrpnState*, or a null map to pass the event once unchanged), then delivers.
// `deliver(const EVENT& work, uint32_t delayMs)` receives every event the loop produces.
template <class Select, class Deliver>
void runSelectedLoop(core::CvxClient& client, const EVENT& source, Select&& select,
                     Deliver&& deliver) {
    LoopResults results;
    {
        core::EngineGuard guard(core::engineLock());
        auto [map, nrpn] = select();
        mapping::MapView view{};
        if (map != nullptr) {
            view = mapping::viewOf(*map);
        }
        mapping::runMapLoop(source, map != nullptr ? &view : nullptr, *nrpn, sysexSinkFor(client),
                            [&](const EVENT& work, uint32_t delay) {
                                if (results.full()) {
                                    results.deliverAll(deliver);
                                }
                                results.add(work, delay);
                            });
    }
    results.deliverAll(deliver);
}

// The loop with a map the caller holds (null: the event passes once unchanged, without
// taking the lock).
template <class Deliver>
void runProcessingLoop(core::CvxClient& client, const EVENT& source, mapping::MapCopy* map,
                       mapping::NrpnState& nrpn, Deliver&& deliver) {
    if (map == nullptr) {
        deliver(source, 0u);
        return;
    }
    runSelectedLoop(
        client, source,
        [&] {
            return std::pair{map, &nrpn};
        },
        deliver);
}

} // namespace cvx::routing
