// GetEvent's read caches: one per MonID 1-5, process-wide, touched only by the one thread
// that reads events (the application's user-interface thread). A refill moves up to 128
// events out of the client's queue in one pass under the engine lock, which the real-time
// threads share: the lock is priority-inheriting (engine_lock.h), so a real-time thread
// waiting for a refill to finish lends the reading thread its priority instead of waiting
// behind whatever else preempted it, and the wait is bounded by one refill's copy.
#pragma once

#include "cvx_records.h"

#include <array>
#include <cstdint>

namespace cvx::core {

class EventQueue;

class ReadCache {
public:
    static constexpr uint32_t kCapacity = 128;

    // One event from the cache, refilling it from `queue` (may be null) when it is empty.
    bool next(EventQueue* queue, EVENT& out);

private:
    std::array<EVENT, kCapacity> events_{};
    uint32_t fill_ = 0;
    uint32_t position_ = 0;
};

// The cache of a MonID; every id outside 1-5 shares the cache of id 1.
ReadCache& readCacheFor(MonID id);

} // namespace cvx::core
