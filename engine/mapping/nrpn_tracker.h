// Assembly of incoming NRPN (CC 99, 98) and RPN (CC 101, 100) parameter selections and data
// entry (CC 6, 38, 96, 97) into one 14-bit parameter and value per channel, holding the raw
// controllers until a map item takes them or they are released unchanged.
#pragma once

#include "core/map_state.h"

#include <cstdint>

namespace cvx::mapping {

enum class TrackResult : uint8_t {
    NotSequence,   // an ordinary controller (or no controller at all)
    Sequence,      // the controller belongs to an NRPN/RPN sequence
    NullParameter, // CC 100 = 127 after CC 101 = 127: both records were cleared
};

// Feeds one message to the tracker; only controller messages (0xBn) change the state.
TrackResult trackController(NrpnState& state, uint32_t message);

// The 14-bit parameter number and data value a record has assembled.
inline int32_t parameterOf(const NrpnRecord& record) {
    return record.paramMsb * 128 + record.paramLsb;
}
inline int32_t valueOf(const NrpnRecord& record) {
    return record.dataMsb * 128 + record.dataLsb;
}

} // namespace cvx::mapping
