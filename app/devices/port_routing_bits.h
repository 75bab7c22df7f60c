// The connection bits of a CPortMap: input i is connected to the output when bit i of
// `inputBits` is set; its mask says what passes.
// Any thread (no state).
#pragma once

#include "cvx_records.h"

#include <cstdint>

namespace corvex {

inline bool inputConnected(const CPortMap& map, int input) {
    return (map.inputBits[input / 32] >> (input % 32) & 1u) != 0;
}

inline void setInputConnected(CPortMap& map, int input, bool connected) {
    const uint32_t bit = 1u << (input % 32);
    map.inputBits[input / 32] =
        connected ? map.inputBits[input / 32] | bit : map.inputBits[input / 32] & ~bit;
}

// Connects `input` with `mask`.
inline void connectInput(CPortMap& map, int input, uint32_t mask) {
    map.inputMasks[input] = mask;
    setInputConnected(map, input, true);
}

} // namespace corvex
