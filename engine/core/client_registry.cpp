#include "core/client_registry.h"

#include <array>
#include <atomic>
#include <mutex>

namespace cvx::core {
namespace {

struct ClientSlot {
    // Odd while a client is live in the slot; bumped on register and on unregister.
    std::atomic<uint32_t> generation{0};
    std::atomic<CvxClient*> client{nullptr};
};

std::array<ClientSlot, kMaxClients>& slots() {
    static std::array<ClientSlot, kMaxClients> table;
    return table;
}

std::mutex& registerLock() {
    static std::mutex lock;
    return lock;
}

uint64_t encode(uint32_t slot, uint32_t generation) {
    return (uint64_t{generation} << 32) | (slot + 1);
}

} // namespace

uint64_t registerClient(CvxClient* client) {
    std::lock_guard<std::mutex> guard(registerLock());
    for (uint32_t i = 0; i < kMaxClients; ++i) {
        ClientSlot& slot = slots()[i];
        const uint32_t generation = slot.generation.load();
        if ((generation & 1u) == 0) {
            slot.client.store(client);
            slot.generation.store(generation + 1);
            return encode(i, generation + 1);
        }
    }
    return 0;
}

void unregisterClient(uint64_t handle) {
    std::lock_guard<std::mutex> guard(registerLock());
    if (clientFromHandle(handle) == nullptr) {
        return;
    }
    ClientSlot& slot = slots()[static_cast<uint32_t>(handle) - 1];
    slot.generation.fetch_add(1);
    slot.client.store(nullptr);
}

CvxClient* clientFromHandle(uint64_t handle) {
    const auto low = static_cast<uint32_t>(handle);
    const auto generation = static_cast<uint32_t>(handle >> 32);
    if (low == 0 || low > kMaxClients || (generation & 1u) == 0) {
        return nullptr;
    }
    ClientSlot& slot = slots()[low - 1];
    CvxClient* client = slot.client.load();
    return slot.generation.load() == generation ? client : nullptr;
}

} // namespace cvx::core
