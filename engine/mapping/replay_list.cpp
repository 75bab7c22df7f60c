#include "mapping/replay_list.h"

namespace cvx::mapping {

void releaseHeld(NrpnState& state, NrpnRecord& record) {
    for (uint8_t i = 0; i < record.heldCount && i < kHeldCapacity; ++i) {
        pushReplay(state, record.held[i]);
    }
    record.heldCount = 0;
}

uint32_t takeReplayMessage(NrpnState& state, bool& more) {
    uint32_t message = 0;
    if (replayRemaining(state) && state.replayIndex < kReplayCapacity) {
        message = state.replay[state.replayIndex++];
    }
    more = replayRemaining(state) && state.replayIndex < kReplayCapacity;
    if (!more) {
        clearReplay(state);
    }
    return message;
}

} // namespace cvx::mapping
