// The SysEx output pump: a one-shot timer that sends the queued output buffers whose due
// time has come, in queue order, and re-arms itself for the first one that has not. Only
// one pump runs at a time, and at most one pump timer is pending per client.
#pragma once

#include "core/client.h"

#include <cstdint>

namespace cvx::output {

// Arms the pump `delayMs` from now unless a pump timer is pending. Engine lock held.
void armSysExPump(core::CvxClient& client, uint32_t delayMs);

// Stops the pending pump timer; after it returns no pump runs for this client. Never call it
// with the engine lock held.
void stopSysExPump(core::CvxClient& client);

} // namespace cvx::output
