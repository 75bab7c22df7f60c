// The life cycle input and output ports share: a table slot whose generation makes the
// port's handles (port_handles.h), the state (free, opening, open, closing), the device it
// is open on and whether that device vanished (dead), and the application's callback with
// the count of its calls in progress.
//
// Members are guarded by mutex_, except generation_, which is written under it and read
// anywhere. The service calls init() once, busy() from any thread; the rest is for the
// port classes, with mutex_ held where noted.
#pragma once

#include "platform/backend_slot.h"
#include "platform/port_handles.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace cvx::platform {

class PortLifeCycle {
public:
    void init(uint32_t slot) { slot_ = slot; }
    // Not free: opening, open, closing, also dead.
    bool busy();

protected:
    ~PortLifeCycle() = default;

    // With mutex_ held: whether `generation` is the port's open handle.
    bool valid(uint32_t generation) const {
        return generation_.load(std::memory_order_relaxed) == generation &&
               state_ == PortState::Open;
    }
    // With mutex_ held: makes the slot's next handle, in `state`, on the device, with the
    // callback; clears the dead mark. Returns the handle's generation.
    uint32_t beginHandle(PortState state, BackendSlot* backend, uint64_t key,
                         LPMIDICALLBACK callback, DWORD_PTR instance);
    // With mutex_ held: the slot is free again and its last handle matches no more.
    void release();
    // With mutex_ held: the device while the port is open (or, with `opening`, being opened)
    // on a device that did not vanish.
    bool liveDeviceLocked(bool opening, BackendSlot*& backend, uint64_t& key) const;
    // With `lock` holding mutex_: runs the callback (if any) without the lock, re-taking it
    // after, and wakes waitForCallbacks().
    void deliver(std::unique_lock<std::mutex>& lock, UINT msg, DWORD_PTR p1, DWORD_PTR p2);
    // Runs the open message (MIM_OPEN / MOM_OPEN) when `generation` is still open.
    void announce(uint32_t generation, UINT msg);
    // With `lock` holding mutex_: waits until no callback of this port runs except those the
    // calling thread is inside, and `also()` holds. changed_ wakes it.
    template <class Condition>
    void waitForCallbacks(std::unique_lock<std::mutex>& lock, Condition also) {
        changed_.wait(lock, [&] { return running_ == CallbackScope::depth(this) && also(); });
    }
    void waitForCallbacks(std::unique_lock<std::mutex>& lock) {
        waitForCallbacks(lock, [] { return true; });
    }
    uintptr_t handleValue() const { return handle_; }

    uint32_t slot_ = 0;
    std::mutex mutex_;
    std::condition_variable changed_; // callbacks done, and what the port classes signal
    std::atomic<uint32_t> generation_{0};
    PortState state_ = PortState::Free;
    bool dead_ = false;
    bool backendOpen_ = false; // the port holds the device open at the backend
    BackendSlot* backend_ = nullptr;
    uint64_t key_ = 0;

private:
    LPMIDICALLBACK callback_ = nullptr;
    DWORD_PTR instance_ = 0;
    uintptr_t handle_ = 0;
    int running_ = 0; // callbacks in progress, on any thread
};

} // namespace cvx::platform
