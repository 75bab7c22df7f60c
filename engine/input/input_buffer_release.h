// Releasing an input's SysEx buffers when the input closes or its buffers are freed.
#pragma once

#include "core/client.h"
#include "core/sysex_buffer.h"

namespace cvx::input {

// Unprepares (when prepared) and frees one buffer the input no longer holds.
void freeInputBuffer(HMIDIIN handle, core::SysExBuffer* buffer);

// Frees the buffers; those the application still holds (lent, or captured and not yet read)
// become orphans of the client, freed when they come back, have been read, or the client is
// destroyed.
void releaseInputBuffers(const core::CvxClient& client, HMIDIIN handle, core::SysExBuffer* buffers);

} // namespace cvx::input
