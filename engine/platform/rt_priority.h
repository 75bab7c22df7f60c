// Real-time scheduling for the platform layer's threads (timer, input and backend reader
// threads). Each thread calls it for itself, once, when it starts.
#pragma once

namespace cvx::platform {

// Asks for SCHED_FIFO at `priority` (clamped to the system's range) for the calling thread.
// Where only a lower real-time priority is permitted (RLIMIT_RTPRIO, as set for audio
// users), the thread takes that one instead. Quietly stays at normal priority when no
// real-time priority is permitted, or when CORVEX_RT=0 is set. Returns whether the thread
// now runs at real-time priority.
bool tryRealtimePriority(int priority);

} // namespace cvx::platform
