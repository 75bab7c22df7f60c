// The input path of a SysEx buffer the platform filled: time-code hook, script and Dock
// consumers, SysEx thru to the routed outputs, monitor queues, and then the buffer either
// lent to the application (WM_CVX_SYSEXDATA) or captured.
#pragma once

#include "core/client.h"

#include <cstdint>

namespace cvx::input {

void processSysExBuffer(core::CvxClient& client, HMIDIIN handle, MIDIHDR& header,
                        uint32_t timestamp);

// Gives a buffer back to its input for more data.
MMRESULT requeueInputBuffer(HMIDIIN handle, MIDIHDR& header);

} // namespace cvx::input
