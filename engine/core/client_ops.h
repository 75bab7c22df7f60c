// Small operations on a client that every part of the data path uses.
#pragma once

#include "core/client.h"
#include "core/engine_lock.h"
#include "core/pass_clock.h"

#include <cstdint>

namespace cvx::core {

// Milliseconds since StartTimeStamp.
inline uint32_t elapsedMs(const CvxClient& client) {
    return timeGetTime() - client.timeBase.load();
}

inline bool anyOutputOpen(const CvxClient& client) {
    return client.outputs->openCount.load() > 0;
}

// `queue` is a slot of the client that attach and detach change under the lock.
inline void addToQueue(EventQueue* const& queue, const EVENT& event) {
    EngineGuard guard(engineLock());
    if (queue != nullptr) {
        queue->enqueue(event);
    }
}

inline void addToMainQueue(CvxClient& client, const EVENT& event) {
    addToQueue(client.mainQueue, event);
}

// Records an input's last-event time (the pass's clock reading) and status class; index 255
// (unknown input) is not recorded.
inline void recordInputActivity(CvxClient& client, uint32_t index, uint32_t statusClass) {
    if (index >= kPortCount) {
        return;
    }
    // Relaxed: the status view reads these alone, ordered against nothing else.
    InputPort& port = client.inputs.ports[index];
    port.lastTime.store(passTime(), std::memory_order_relaxed);
    port.statusClass.store(statusClass, std::memory_order_relaxed);
}

inline void orInputStatusClass(CvxClient& client, uint32_t index, uint32_t bits) {
    if (index < kPortCount) {
        client.inputs.ports[index].statusClass.fetch_or(bits);
        client.inputs.ports[index].lastTime.store(passTime());
    }
}

} // namespace cvx::core
