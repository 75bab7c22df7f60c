// Message targets: the HWNDs the engine posts its notifications to.
//
// A handle encodes a slot of a fixed table and the slot's generation, so a handle that was
// destroyed (or never made) is recognised without touching freed memory. Posting only reads
// atomics and calls the target's function; destroying waits until no post is inside the
// function, so after cvxWindowDestroy returns the function is never called again.
#include "cvx_platform.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>

namespace {

constexpr uint32_t kSlots = 1024;

struct TargetSlot {
    // Even generation: free; odd: live. Bumped on create and on destroy.
    std::atomic<uint32_t> generation{0};
    std::atomic<uint32_t> postsInside{0};
    std::atomic<CvxPostFunction> post{nullptr};
    std::atomic<void*> user{nullptr};
};

std::array<TargetSlot, kSlots>& slots() {
    static std::array<TargetSlot, kSlots> table;
    return table;
}

std::mutex& createLock() {
    static std::mutex lock;
    return lock;
}

HWND encode(uint32_t slot, uint32_t generation) {
    uint64_t value = (uint64_t{generation} << 32) | (slot + 1);
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(value));
}

bool decode(HWND window, uint32_t& slot, uint32_t& generation) {
    uint64_t value = reinterpret_cast<uintptr_t>(window);
    uint32_t low = static_cast<uint32_t>(value);
    if (low == 0 || low > kSlots) {
        return false;
    }
    slot = low - 1;
    generation = static_cast<uint32_t>(value >> 32);
    return (generation & 1u) != 0;
}

} // namespace

extern "C" {

HWND cvxWindowCreate(CvxPostFunction post, void* user) {
    if (post == nullptr) {
        return nullptr;
    }
    std::lock_guard guard(createLock());
    for (uint32_t i = 0; i < kSlots; ++i) {
        TargetSlot& s = slots()[i];
        uint32_t gen = s.generation.load();
        if ((gen & 1u) == 0) {
            s.post.store(post);
            s.user.store(user);
            s.generation.store(gen + 1);
            return encode(i, gen + 1);
        }
    }
    return nullptr;
}

void cvxWindowDestroy(HWND window) {
    uint32_t slot = 0;
    uint32_t generation = 0;
    if (!decode(window, slot, generation)) {
        return;
    }
    TargetSlot& s = slots()[slot];
    // The slot stays unusable for new targets until no post of the old one is inside.
    std::lock_guard guard(createLock());
    uint32_t expected = generation;
    if (!s.generation.compare_exchange_strong(expected, generation + 1)) {
        return;
    }
    while (s.postsInside.load() != 0) {
        std::this_thread::yield();
    }
}

int cvxPostMessage(HWND window, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    uint32_t slot = 0;
    uint32_t generation = 0;
    if (!decode(window, slot, generation)) {
        return 0;
    }
    TargetSlot& s = slots()[slot];
    s.postsInside.fetch_add(1);
    int posted = 0;
    if (s.generation.load() == generation) {
        s.post.load()(s.user.load(), msg, wParam, lParam);
        posted = 1;
    }
    s.postsInside.fetch_sub(1);
    return posted;
}

} // extern "C"
