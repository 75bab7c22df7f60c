// Finding an input's index from its handle: a scan of the client's 136 open-handle slots.
#pragma once

#include "core/client.h"

#include <cstdint>

namespace cvx::input {

// The index 0-135 of an open input, or -1.
inline int inputIndexOf(const core::CvxClient& client, HMIDIIN handle) {
    for (uint32_t i = 0; i < core::kPortCount; ++i) {
        if (handle != nullptr && client.inputs.ports[i].handle.load() == handle) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// The port byte of an event from this input: its index, or 255 when it is not in the table.
inline uint8_t portByteOf(int index) {
    return index < 0 ? CVX_UNKNOWN_PORT : static_cast<uint8_t>(index);
}

} // namespace cvx::input
