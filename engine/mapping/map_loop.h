// The map part of the processing loop: runs one source event through a map and hands every
// message it yields to `deliver(const EVENT&, uint32_t delayMs)`, in order.
//
// Each pass starts from a copy of the source event and takes, in this order of priority, the
// next replayed message, the next NRPN/RPN sequence message, or the map step's result (not
// delivered when the step suppresses it). It repeats while a clone, a sequence or a replay is
// pending. The delay of a map item also applies to the replayed and sequence messages it
// produced. With `map` null (an inactive map) the source event is delivered once, unchanged.
#pragma once

#include "core/map_state.h"
#include "cvx_records.h"
#include "mapping/map_step.h"
#include "mapping/output_sequence.h"
#include "mapping/replay_list.h"
#include "mapping/sysex_sink.h"

#include <cstdint>

namespace cvx::mapping {

template <typename Deliver>
void runMapLoop(const EVENT& source, const MapView* map, NrpnState& nrpn, const SysExSink& sink,
                Deliver&& deliver) {
    MapStepState step{};
    do {
        EVENT work = source;
        bool produced = true;
        if (step.replayPending) {
            work.message = takeReplayMessage(nrpn, step.replayPending);
        } else if (step.sequencePending) {
            work.message =
                (source.message & 0xFF000000u) | takeSequenceMessage(nrpn, step.sequencePending);
        } else if (map != nullptr) {
            runMapStep(work, *map, nrpn, step, sink);
            produced = !step.suppress;
        }
        if (produced) {
            deliver(static_cast<const EVENT&>(work), step.delay);
        }
    } while (step.clone || step.sequencePending || step.replayPending);
}

} // namespace cvx::mapping
