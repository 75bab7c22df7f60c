// The replay list of a map's NrpnState: messages a map step produced or released for the
// processing loop to deliver one per pass, in order.
#pragma once

#include "core/map_state.h"

#include <cstdint>

namespace cvx::mapping {

inline void clearReplay(NrpnState& state) {
    state.replayCount = 0;
    state.replayIndex = 0;
}

// Appends a message; a full list keeps what it has.
inline void pushReplay(NrpnState& state, uint32_t message) {
    if (state.replayCount < kReplayCapacity) {
        state.replay[state.replayCount++] = message;
    }
}

inline bool replayRemaining(const NrpnState& state) {
    return state.replayIndex < state.replayCount;
}

// Moves a record's held controllers, in arrival order, onto the replay list.
void releaseHeld(NrpnState& state, NrpnRecord& record);

// The next message of the list; `more` tells whether another follows. After the last the
// list is empty. An empty list yields message 0, which no output sends.
uint32_t takeReplayMessage(NrpnState& state, bool& more);

} // namespace cvx::mapping
