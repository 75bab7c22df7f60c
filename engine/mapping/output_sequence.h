// NRPN and RPN controller sequences that map items send: parameter MSB, parameter LSB, then
// the data entry controllers, one message per processing-loop pass.
#pragma once

#include "core/map_state.h"

#include <cstdint>

namespace cvx::mapping {

enum class ParameterKind : uint8_t { Nrpn, Rpn };

// Starts a sequence for a 14-bit parameter and value on `channel`; it becomes the sequence
// in progress. The data LSB is sent only with SendFullNRPN.
void startSequence(NrpnState& state, ParameterKind kind, uint8_t channel, int32_t parameter,
                   int32_t value);

// The next controller message of the sequence in progress (status, controller, value in the
// low 24 bits); `more` tells whether another follows.
uint32_t takeSequenceMessage(NrpnState& state, bool& more);

} // namespace cvx::mapping
