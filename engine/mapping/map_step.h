// The map step: one pass of a message through a data map.
//
// It matches the work event against the map's items from the resume index on and either
// lets it pass unchanged, rewrites it in place, suppresses it, starts an NRPN/RPN output
// sequence, queues messages on the replay list, or sends a SysEx string. Incoming NRPN/RPN
// controller sequences are assembled first and matched as one 14-bit event.
//
// Target types without a rule of their own:
// - Target "the input's type" (255) on an NRPN or RPN item produces a sequence of the same
//   kind as the source, as NRPN and RPN targets do.
// - Target types that are not message types (0 and 16-254) make the item match nothing, so
//   the search goes on to the next item. Neither case can put a data byte in the status
//   position.
//
// The step never allocates, blocks or logs; SysEx strings are built in a stack buffer.
#pragma once

#include "core/map_state.h"
#include "cvx_records.h"
#include "mapping/nrpn_tracker.h"
#include "mapping/sysex_sink.h"

#include <cstdint>

namespace cvx::mapping {

// The map one processing loop runs against: a snapshot taken once per source event, so that
// a replacement by the application thread cannot change the items under a clone chain.
struct MapView {
    const ItemTable* table;  // nullptr: no items
    const SysExBlock* sysex; // nullptr: no SysEx strings
};

// The state a processing loop keeps for one source event; zero is the start state.
struct MapStepState {
    uint32_t resumeIndex;
    uint32_t delay; // milliseconds
    bool suppress;
    bool clone;
    bool sequencePending;
    bool replayPending;
    bool tracked; // the source event has been fed to the NRPN/RPN tracker
    TrackResult track;
};

void runMapStep(EVENT& work, const MapView& map, NrpnState& nrpn, MapStepState& step,
                const SysExSink& sink);

} // namespace cvx::mapping
