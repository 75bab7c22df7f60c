#include "core/read_cache.h"

#include "core/engine_lock.h"
#include "core/event_queue.h"

namespace cvx::core {

bool ReadCache::next(EventQueue* queue, EVENT& out) {
    if (position_ == fill_) {
        position_ = 0;
        fill_ = 0;
        if (queue == nullptr) {
            return false;
        }
        EngineGuard guard(engineLock());
        while (fill_ < kCapacity && queue->dequeue(events_[fill_])) {
            ++fill_;
        }
    }
    if (position_ == fill_) {
        return false;
    }
    out = events_[position_++];
    return true;
}

ReadCache& readCacheFor(MonID id) {
    static std::array<ReadCache, 5> caches;
    bool known = id >= MON_RAW_INPUT && id <= MON_SCRIPT;
    return caches[known ? id - 1 : 0];
}

} // namespace cvx::core
