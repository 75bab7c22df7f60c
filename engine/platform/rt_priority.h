// Real-time scheduling for the platform layer's threads (timer and input threads).
#pragma once

namespace cvx::platform {

// Asks for SCHED_FIFO at `priority` for the calling thread. Quietly stays at normal
// priority when the system does not allow it, or when CORVEX_RT=0 is set.
// Returns whether real-time priority is in effect.
bool tryRealtimePriority(int priority);

} // namespace cvx::platform
