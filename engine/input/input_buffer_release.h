// Releasing an input's SysEx buffers when the input closes or its buffers are freed.
#pragma once

#include "core/sysex_buffer.h"

namespace cvx::input {

// Frees the buffers; those the application still holds (lent, or captured and not yet read)
// become orphans, freed when they come back or have been read.
void releaseInputBuffers(HMIDIIN handle, core::SysExBuffer* buffers);

} // namespace cvx::input
