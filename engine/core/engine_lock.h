// The engine's one process-wide lock. It guards every queue, ring, pool and buffer list of
// every client, and is held only around those operations: no platform send happens under it.
//
// It is re-entrant (a queue operation may run inside another that already holds it) and
// priority-inheriting where the system offers it: the real-time input and timer threads
// take it for a few queue operations at a time, and so does the application thread when it
// reads events. While a real-time thread waits for it, the holder runs at that thread's
// priority, so an application thread preempted by ordinary work cannot hold the real-time
// thread up for longer than its own short critical section.
//
// Any thread may take it.
#pragma once

#include <mutex>
#include <pthread.h>

namespace cvx::core {

class EngineLock {
public:
    EngineLock();
    EngineLock(const EngineLock&) = delete;
    EngineLock& operator=(const EngineLock&) = delete;

    void lock();
    bool try_lock();
    void unlock();

    // Whether the calling thread holds the lock (at any depth).
    static bool heldByCaller();
    // Whether the lock was made with priority inheritance (false where the system refused).
    bool priorityInheriting() const { return priorityInheriting_; }

private:
    pthread_mutex_t mutex_;
    bool priorityInheriting_ = false;
};

EngineLock& engineLock();

using EngineGuard = std::lock_guard<EngineLock>;

} // namespace cvx::core
