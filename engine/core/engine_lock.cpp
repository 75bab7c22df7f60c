#include "core/engine_lock.h"

namespace cvx::core {

namespace {

thread_local int tHeldDepth = 0;

// A recursive mutex attribute, priority-inheriting when `inherit`; false when refused.
bool makeMutex(pthread_mutex_t& mutex, bool inherit) {
    pthread_mutexattr_t attributes;
    if (pthread_mutexattr_init(&attributes) != 0) {
        return false;
    }
    bool made =
        pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE) == 0 &&
        (!inherit || pthread_mutexattr_setprotocol(&attributes, PTHREAD_PRIO_INHERIT) == 0) &&
        pthread_mutex_init(&mutex, &attributes) == 0;
    pthread_mutexattr_destroy(&attributes);
    return made;
}

} // namespace

EngineLock::EngineLock() {
    priorityInheriting_ = makeMutex(mutex_, true);
    if (!priorityInheriting_ && !makeMutex(mutex_, false)) {
        pthread_mutex_t fallback = PTHREAD_RECURSIVE_MUTEX_INITIALIZER_NP;
        mutex_ = fallback;
    }
}

void EngineLock::lock() {
    pthread_mutex_lock(&mutex_);
    ++tHeldDepth;
}

bool EngineLock::try_lock() {
    if (pthread_mutex_trylock(&mutex_) != 0) {
        return false;
    }
    ++tHeldDepth;
    return true;
}

void EngineLock::unlock() {
    --tHeldDepth;
    pthread_mutex_unlock(&mutex_);
}

bool EngineLock::heldByCaller() {
    return tHeldDepth > 0;
}

EngineLock& engineLock() {
    // Constructed on first use, so a lock site reached before static initialisation of
    // this library finished still finds a valid lock; never destroyed, so timer callbacks
    // that run during process exit can still take it.
    static auto* lock = new EngineLock;
    return *lock;
}

} // namespace cvx::core
