// Input buffers whose input was closed while the application still held them (lent with
// WM_CVX_SYSEXDATA or waiting in the captured queue). They are kept here, process-wide,
// until the application gives them back, and freed then. Application thread only.
#pragma once

#include "core/sysex_buffer.h"

namespace cvx::input {

void adoptOrphan(core::SysExBuffer* buffer);
// Frees the buffer and returns true when it is an orphan.
bool freeIfOrphan(MIDIHDR* header);

} // namespace cvx::input
