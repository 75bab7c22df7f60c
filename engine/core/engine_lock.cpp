#include "core/engine_lock.h"

namespace cvx::core {

std::recursive_mutex& engineLock() {
    // Constructed on first use, so a lock site reached before static initialisation of
    // this library finished still finds a valid lock; never destroyed, so timer callbacks
    // that run during process exit can still take it.
    static auto* lock = new std::recursive_mutex;
    return *lock;
}

} // namespace cvx::core
