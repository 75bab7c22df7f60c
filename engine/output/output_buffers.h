// The SysEx buffers of an output: free when the pump does not hold them and they carry the
// output's handle. Pieces of a block are copied into them and queued for the output pump.
#pragma once

#include "core/client.h"

#include <cstdint>

namespace cvx::output {

// Copies up to `remaining` bytes into the output's first free buffer (no more than the
// client's SysEx buffer size or the buffer's own length) and queues it to leave at `due`.
// Records SysEx activity on the output at `activityTime` from `source`. Returns the bytes
// queued: 0 when no buffer is free or the send queue is full. Engine lock held.
uint32_t queueOutputPiece(core::CvxClient& client, core::OutputPort& port, const uint8_t* data,
                          uint32_t remaining, uint32_t due, uint32_t activityTime, uint32_t source);

} // namespace cvx::output
