// Reading what the engine queued: events by MonID, and the SysEx pieces their chunk events
// point at.
#include "core/client.h"
#include "core/engine_lock.h"
#include "core/read_cache.h"
#include "cvxcore.h"

#include <cstring>

using namespace cvx::core;

namespace {

EventQueue* queueFor(CvxClient& client, MonID id) {
    switch (id) {
    case MON_RAW_INPUT:
        return client.consumers.raw;
    case MON_MAIN:
        return client.mainQueue;
    case MON_LUA:
        return client.consumers.lua;
    case MON_DOCK:
        return client.consumers.dock;
    case MON_SCRIPT:
        return client.consumers.script;
    default:
        return nullptr;
    }
}

ScriptChunkRing* ringFor(CvxClient& client, MonID id) {
    if (id == MON_DOCK) {
        return client.consumers.dockRing;
    }
    return id == MON_SCRIPT ? client.consumers.scriptRing : nullptr;
}

constexpr size_t kClearedEventBytes = 12; // timestamp and message

} // namespace

extern "C" {

uint16_t m32GetEvent(uint64_t handle, EVENT* out, MonID id) {
    if (out == nullptr) {
        return 0;
    }
    CvxClient* client = clientFromHandle(handle);
    EventQueue* queue = client == nullptr ? nullptr : queueFor(*client, id);
    if (readCacheFor(id).next(queue, *out)) {
        return 1;
    }
    std::memset(out, 0, kClearedEventBytes);
    return 0;
}

uint16_t m32GetSysExString(uint64_t handle, uint16_t slot, uint8_t* buffer, uint16_t size) {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr || buffer == nullptr || size < DisplayChunkRing::kSlotSize) {
        return 0;
    }
    EngineGuard guard(engineLock());
    const uint8_t* piece = client->displayRing->slot(slot);
    if (piece == nullptr) {
        return 0;
    }
    std::memcpy(buffer, piece, DisplayChunkRing::kSlotSize);
    return buffer[0];
}

int m32GetRawSxBuf(uint64_t handle, MonID id, uint16_t slot, uint8_t* buffer, uint16_t size) {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr || buffer == nullptr || size < ScriptChunkRing::kSlotSize) {
        return 0;
    }
    EngineGuard guard(engineLock());
    ScriptChunkRing* ring = ringFor(*client, id);
    const uint8_t* piece = ring == nullptr ? nullptr : ring->slot(slot);
    if (piece == nullptr) {
        return 0;
    }
    std::memcpy(buffer, piece, ScriptChunkRing::kSlotSize);
    return 1;
}

} // extern "C"
