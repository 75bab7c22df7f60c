#include "platform/port_life_cycle.h"

namespace cvx::platform {

bool PortLifeCycle::busy() {
    std::lock_guard guard(mutex_);
    return state_ != PortState::Free;
}

uint32_t PortLifeCycle::beginHandle(PortState state, BackendSlot* backend, uint64_t key,
                                    LPMIDICALLBACK callback, DWORD_PTR instance) {
    uint32_t generation = generation_.load() + 1;
    generation_.store(generation);
    state_ = state;
    dead_ = false;
    backend_ = backend;
    key_ = key;
    callback_ = callback;
    instance_ = instance;
    handle_ = static_cast<uintptr_t>(encodeHandle(slot_, generation));
    return generation;
}

void PortLifeCycle::release() {
    callback_ = nullptr;
    state_ = PortState::Free;
    generation_.store(generation_.load() + 1);
}

bool PortLifeCycle::liveDeviceLocked(bool opening, BackendSlot*& backend, uint64_t& key) const {
    bool open = state_ == PortState::Open || (opening && state_ == PortState::Opening);
    if (!open || dead_) {
        return false;
    }
    backend = backend_;
    key = key_;
    return true;
}

void PortLifeCycle::deliver(std::unique_lock<std::mutex>& lock, UINT msg, DWORD_PTR p1,
                            DWORD_PTR p2) {
    LPMIDICALLBACK callback = callback_;
    if (callback == nullptr) {
        return;
    }
    DWORD_PTR instance = instance_;
    auto handle = reinterpret_cast<HMIDIIN>(handle_);
    ++running_;
    lock.unlock();
    {
        CallbackScope scope(this);
        callback(handle, msg, instance, p1, p2);
    }
    lock.lock();
    --running_;
    changed_.notify_all();
}

void PortLifeCycle::announce(uint32_t generation, UINT msg) {
    std::unique_lock lock(mutex_);
    if (valid(generation)) {
        deliver(lock, msg, 0, 0);
    }
}

} // namespace cvx::platform
