#include "platform/virtual_backend.h"

#include "platform/backend_factories.h"
#include "platform/service_clock.h"

#include <algorithm>
#include <cstdlib>
#include <new>

namespace cvx::platform {

std::unique_ptr<MidiBackend> makeVirtualBackend() {
    return std::make_unique<VirtualBackend>();
}

int VirtualBackend::cableCountFromEnvironment() {
    const char* value = std::getenv("CORVEX_LOOPBACKS");
    if (value == nullptr || *value == '\0') {
        return kDefaultCables;
    }
    char* end = nullptr;
    long count = std::strtol(value, &end, 10);
    if (end == value || *end != '\0' || count < 0) {
        return kDefaultCables;
    }
    return count > kMaxStartCables ? kMaxStartCables : static_cast<int>(count);
}

bool VirtualBackend::start(BackendHost& host) {
    int count = cableCountFromEnvironment();
    std::lock_guard guard(mutex_);
    host_ = &host;
    for (int i = 1; i <= count; ++i) {
        claimSlot("Corvex Loopback " + std::to_string(i));
    }
    return true;
}

void VirtualBackend::stop() {
    std::lock_guard guard(mutex_);
    while (!order_.empty()) {
        releaseSlot(*order_.back());
    }
    host_ = nullptr;
}

VirtualBackend::Cable* VirtualBackend::claimSlot(const std::string& name) {
    size_t index = 0;
    while (index < kMaxCables && slots_[index].key.load(std::memory_order_relaxed) != 0) {
        ++index;
    }
    if (index == kMaxCables) {
        return nullptr;
    }
    Cable& cable = slots_[index];
    cable.name = name;
    {
        std::lock_guard guard(cable.mutex);
        cable.sink = nullptr;
        cable.tap.clear();
        cable.key.store(nextKey_++, std::memory_order_release);
    }
    if (index >= slotsInUse_.load(std::memory_order_relaxed)) {
        slotsInUse_.store(index + 1, std::memory_order_release);
    }
    order_.push_back(&cable);
    return &cable;
}

void VirtualBackend::releaseSlot(Cable& cable) {
    {
        std::lock_guard guard(cable.mutex);
        cable.key.store(0, std::memory_order_relaxed);
        cable.sink = nullptr;
        cable.tap.clear();
    }
    std::erase(order_, &cable);
    size_t inUse = slotsInUse_.load(std::memory_order_relaxed);
    while (inUse > 0 && slots_[inUse - 1].key.load(std::memory_order_relaxed) == 0) {
        --inUse;
    }
    slotsInUse_.store(inUse, std::memory_order_release);
}

std::vector<EndpointInfo> VirtualBackend::inputs() {
    std::lock_guard guard(mutex_);
    std::vector<EndpointInfo> list;
    for (Cable* cable : order_) {
        list.push_back({cable->key.load(std::memory_order_relaxed), cable->name});
    }
    return list;
}

std::vector<EndpointInfo> VirtualBackend::outputs() {
    return inputs();
}

VirtualBackend::Cable* VirtualBackend::lock(uint64_t key, std::unique_lock<std::mutex>& guard) {
    if (key == 0) {
        return nullptr;
    }
    size_t inUse = slotsInUse_.load(std::memory_order_acquire);
    for (size_t i = 0; i < inUse; ++i) {
        Cable& cable = slots_[i];
        if (cable.key.load(std::memory_order_relaxed) != key) {
            continue;
        }
        guard = std::unique_lock(cable.mutex);
        // Keys are never reused: a slot freed (and maybe reused) meanwhile shows another.
        if (cable.key.load(std::memory_order_relaxed) == key) {
            return &cable;
        }
        guard.unlock();
        return nullptr;
    }
    return nullptr;
}

MMRESULT VirtualBackend::openInput(uint64_t key, InputSink& sink) {
    std::unique_lock<std::mutex> guard;
    Cable* cable = lock(key, guard);
    if (cable == nullptr) {
        return MMSYSERR_NODRIVER;
    }
    if (cable->sink != nullptr) {
        return MMSYSERR_ALLOCATED;
    }
    cable->sink = &sink;
    return MMSYSERR_NOERROR;
}

void VirtualBackend::closeInput(uint64_t key) {
    std::unique_lock<std::mutex> guard;
    Cable* cable = lock(key, guard);
    if (cable == nullptr) {
        return; // removed: its sink was dropped then
    }
    cable->sink = nullptr;
}

MMRESULT VirtualBackend::openOutput(uint64_t key) {
    std::unique_lock<std::mutex> guard;
    Cable* cable = lock(key, guard);
    if (cable == nullptr) {
        return MMSYSERR_NODRIVER;
    }
    if (!cable->tap.allocated()) {
        try {
            cable->tap.allocate(kTapBytes);
        } catch (const std::bad_alloc&) {
            return MMSYSERR_NOMEM;
        }
    }
    return MMSYSERR_NOERROR;
}

void VirtualBackend::closeOutput(uint64_t key) {
    (void)key; // send() hands every message to the cable's input before it returns
}

MMRESULT VirtualBackend::send(uint64_t key, const uint8_t* bytes, size_t length) {
    std::unique_lock<std::mutex> guard;
    Cable* cable = lock(key, guard);
    if (cable == nullptr) {
        return MMSYSERR_NODRIVER;
    }
    if (cable->tap.allocated()) {
        cable->tap.writeOverwriting(bytes, length);
    }
    if (cable->sink != nullptr) {
        cable->sink->receive(bytes, length, clock::nowMs());
    }
    return MMSYSERR_NOERROR;
}

size_t VirtualBackend::take(uint64_t key, uint8_t* buffer, size_t capacity) {
    std::unique_lock<std::mutex> guard;
    Cable* cable = lock(key, guard);
    if (cable == nullptr) {
        return 0;
    }
    return cable->tap.allocated() ? cable->tap.read(buffer, capacity) : 0;
}

bool VirtualBackend::addCable(const std::string& name) {
    if (name.empty() || name.size() > kMaxName) {
        return false;
    }
    BackendHost* host = nullptr;
    {
        std::lock_guard guard(mutex_);
        if (host_ == nullptr || claimSlot(name) == nullptr) {
            return false;
        }
        host = host_;
    }
    host->endpointsChanged();
    return true;
}

bool VirtualBackend::removeCable(const std::string& name) {
    BackendHost* host = nullptr;
    {
        std::lock_guard guard(mutex_);
        auto it = std::find_if(order_.begin(), order_.end(),
                               [&](const Cable* cable) { return cable->name == name; });
        if (it == order_.end()) {
            return false;
        }
        releaseSlot(**it); // no sink call after this
        host = host_;
    }
    if (host != nullptr) {
        host->endpointsChanged();
    }
    return true;
}

} // namespace cvx::platform
