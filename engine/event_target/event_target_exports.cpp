// Event targets: message targets that queue their posts and signal an eventfd, for programs
// that wait on file descriptors instead of a window system's event loop.
//
// Waking: `armed` says the eventfd has been written since the reader last cleared it. A post
// queues its message first and then writes the eventfd only when it is the one to arm it, so
// a burst costs one system call. The reader, finding the queue empty, clears the eventfd and
// `armed` and looks once more: a post that saw `armed` still set had queued its message
// before, and that last look finds it.
#include "cvx_platform.h"
#include "cvx_records.h"
#include "event_target/message_ring.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <bit>
#include <cstdint>
#include <new>

namespace {

constexpr unsigned kDefaultCapacity = 1024;
constexpr unsigned kMaxCapacity = 65536;

// The notifications whose data waits in engine queues: one pending delivery per kind.
constexpr std::array<uint32_t, 4> kCoalesced = {WM_CVX_EVENTS, WM_CVX_SCRIPTINPUT, WM_CVX_DOCK_DATA,
                                                WM_CVX_AUTOMATION_DATA};

int coalescedKind(uint32_t msg) {
    for (size_t i = 0; i < kCoalesced.size(); ++i) {
        if (kCoalesced[i] == msg) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

size_t ringCapacity(unsigned requested) {
    if (requested == 0) {
        return kDefaultCapacity;
    }
    return std::bit_ceil(requested > kMaxCapacity ? kMaxCapacity : requested);
}

} // namespace

struct CvxEventTarget {
    explicit CvxEventTarget(size_t capacity) : ring(capacity) {}

    cvx::notify::MessageRing ring;
    int fd = -1;
    HWND window = nullptr;
    std::atomic<bool> armed{false};
    std::array<std::atomic<bool>, kCoalesced.size()> pending{};
    std::atomic<uint64_t> dropped{0};
};

namespace {

void wake(CvxEventTarget& target) {
    if (!target.armed.exchange(true)) {
        const uint64_t one = 1;
        // Non-blocking; it can only fail when the counter is at its maximum, and then the
        // descriptor is readable anyway.
        [[maybe_unused]] ssize_t written = write(target.fd, &one, sizeof one);
    }
}

void post(void* user, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    auto& target = *static_cast<CvxEventTarget*>(user);
    const int kind = coalescedKind(msg);
    if (kind >= 0 && target.pending[kind].exchange(true)) {
        return; // one of this kind already waits
    }
    if (!target.ring.push(CvxMessage{msg, wParam, lParam})) {
        if (kind >= 0) {
            target.pending[kind].store(false);
        }
        target.dropped.fetch_add(1, std::memory_order_relaxed);
    }
    wake(target);
}

bool take(CvxEventTarget& target, CvxMessage& message) {
    if (!target.ring.pop(message)) {
        return false;
    }
    const int kind = coalescedKind(message.msg);
    if (kind >= 0) {
        target.pending[kind].store(false);
    }
    return true;
}

} // namespace

extern "C" {

CvxEventTarget* cvxEventTargetCreate(unsigned capacity) {
    auto* target = new (std::nothrow) CvxEventTarget(ringCapacity(capacity));
    if (target == nullptr) {
        return nullptr;
    }
    target->fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (target->fd >= 0) {
        target->window = cvxWindowCreate(post, target);
    }
    if (target->window == nullptr) {
        cvxEventTargetDestroy(target);
        return nullptr;
    }
    return target;
}

HWND cvxEventTargetWindow(const CvxEventTarget* target) {
    return target != nullptr ? target->window : nullptr;
}

int cvxEventTargetFd(const CvxEventTarget* target) {
    return target != nullptr ? target->fd : -1;
}

int cvxEventTargetNext(CvxEventTarget* target, CvxMessage* message) {
    if (target == nullptr || message == nullptr) {
        return 0;
    }
    if (take(*target, *message)) {
        return 1;
    }
    uint64_t count = 0;
    [[maybe_unused]] ssize_t got = read(target->fd, &count, sizeof count);
    // Disarmed with a read-modify-write: its acquire half keeps the second look at the queue
    // after it, so a post that found the target still armed is seen here.
    target->armed.exchange(false);
    return take(*target, *message) ? 1 : 0;
}

uint64_t cvxEventTargetDropped(const CvxEventTarget* target) {
    return target != nullptr ? target->dropped.load(std::memory_order_relaxed) : 0;
}

void cvxEventTargetDestroy(CvxEventTarget* target) {
    if (target == nullptr) {
        return;
    }
    cvxWindowDestroy(target->window);
    if (target->fd >= 0) {
        close(target->fd);
    }
    delete target;
}

} // extern "C"
