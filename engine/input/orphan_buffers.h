// Input buffers whose input was closed while the application still held them (lent with
// WM_CVX_SYSEXDATA or waiting in the captured queue). They are kept here, process-wide,
// until the application gives them back, and freed then, or when their client is destroyed.
// Application thread only.
#pragma once

#include "core/sysex_buffer.h"

namespace cvx::core {
struct CvxClient;
}

namespace cvx::input {

void adoptOrphan(core::SysExBuffer* buffer, const core::CvxClient* owner);
// Frees the buffer and returns true when it is an orphan.
bool freeIfOrphan(MIDIHDR* header);
// Frees the orphans of a client that is being destroyed.
void freeOrphansOf(const core::CvxClient* owner);

} // namespace cvx::input
