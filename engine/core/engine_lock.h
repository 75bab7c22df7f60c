// The engine's one process-wide lock. It guards every queue, ring, pool and buffer list of
// every client. It is re-entrant because the delayed-event pump holds it for a whole tick
// while the routing it performs takes it again.
#pragma once

#include <mutex>

namespace cvx::core {

std::recursive_mutex& engineLock();

using EngineGuard = std::lock_guard<std::recursive_mutex>;

} // namespace cvx::core
