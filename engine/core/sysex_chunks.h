// Queuing a SysEx block for display: the block is cut into pieces of the ring's slot size,
// each piece copied into the next slot of the ring and announced by a chunk event in the
// queue (timestamp = slot index, message = piece length << 8 | 0xFB << 24).
#pragma once

#include "core/chunk_ring.h"
#include "core/engine_lock.h"
#include "core/event_queue.h"

#include <algorithm>
#include <cstdint>

namespace cvx::core {

inline EVENT chunkEvent(uint32_t slot, uint32_t pieceLength) {
    EVENT event{};
    event.timestamp = slot;
    event.message = (pieceLength << 8) | (uint32_t{CVX_ORIGIN_CHUNK} << 24);
    return event;
}

template <class Ring>
void queueSysExChunks(EventQueue& queue, Ring& ring, const uint8_t* data, uint32_t length) {
    for (uint32_t done = 0; done < length;) {
        uint32_t piece = std::min(length - done, Ring::kSlotSize);
        EngineGuard guard(engineLock());
        uint32_t slot = ring.reserveSlot();
        ring.fill(slot, data + done, piece);
        queue.enqueue(chunkEvent(slot, piece));
        done += piece;
    }
}

} // namespace cvx::core
