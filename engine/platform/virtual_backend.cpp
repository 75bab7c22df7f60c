#include "platform/virtual_backend.h"

#include "platform/backend_factories.h"
#include "platform/service_clock.h"

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
    cables_.clear();
    for (int i = 1; i <= count; ++i) {
        auto cable = std::make_shared<Cable>();
        cable->key = nextKey_++;
        cable->name = "Corvex Loopback " + std::to_string(i);
        cables_.push_back(std::move(cable));
    }
    return true;
}

void VirtualBackend::stop() {
    std::vector<std::shared_ptr<Cable>> cables;
    {
        std::lock_guard guard(mutex_);
        cables.swap(cables_);
        host_ = nullptr;
    }
    for (auto& cable : cables) {
        std::lock_guard guard(cable->mutex);
        cable->sink = nullptr;
    }
}

std::vector<EndpointInfo> VirtualBackend::inputs() {
    std::lock_guard guard(mutex_);
    std::vector<EndpointInfo> list;
    for (auto& cable : cables_) {
        list.push_back({cable->key, cable->name});
    }
    return list;
}

std::vector<EndpointInfo> VirtualBackend::outputs() {
    return inputs();
}

std::shared_ptr<VirtualBackend::Cable> VirtualBackend::find(uint64_t key) {
    std::lock_guard guard(mutex_);
    for (auto& cable : cables_) {
        if (cable->key == key) {
            return cable;
        }
    }
    return nullptr;
}

MMRESULT VirtualBackend::openInput(uint64_t key, InputSink& sink) {
    auto cable = find(key);
    if (!cable) {
        return MMSYSERR_NODRIVER;
    }
    std::lock_guard guard(cable->mutex);
    if (cable->sink != nullptr) {
        return MMSYSERR_ALLOCATED;
    }
    cable->sink = &sink;
    return MMSYSERR_NOERROR;
}

void VirtualBackend::closeInput(uint64_t key) {
    auto cable = find(key);
    if (!cable) {
        return; // removed: its sink was dropped then
    }
    std::lock_guard guard(cable->mutex);
    cable->sink = nullptr;
}

MMRESULT VirtualBackend::openOutput(uint64_t key) {
    auto cable = find(key);
    if (!cable) {
        return MMSYSERR_NODRIVER;
    }
    std::lock_guard guard(cable->mutex);
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
    (void)key;
}

MMRESULT VirtualBackend::send(uint64_t key, const uint8_t* bytes, size_t length) {
    auto cable = find(key);
    if (!cable) {
        return MMSYSERR_NODRIVER;
    }
    std::lock_guard guard(cable->mutex);
    if (cable->tap.allocated()) {
        cable->tap.writeOverwriting(bytes, length);
    }
    if (cable->sink != nullptr) {
        cable->sink->receive(bytes, length, clock::nowMs());
    }
    return MMSYSERR_NOERROR;
}

size_t VirtualBackend::take(uint64_t key, uint8_t* buffer, size_t capacity) {
    auto cable = find(key);
    if (!cable) {
        return 0;
    }
    std::lock_guard guard(cable->mutex);
    return cable->tap.allocated() ? cable->tap.read(buffer, capacity) : 0;
}

bool VirtualBackend::addCable(const std::string& name) {
    if (name.empty() || name.size() > kMaxName) {
        return false;
    }
    BackendHost* host = nullptr;
    {
        std::lock_guard guard(mutex_);
        if (host_ == nullptr) {
            return false;
        }
        auto cable = std::make_shared<Cable>();
        cable->key = nextKey_++;
        cable->name = name;
        cables_.push_back(std::move(cable));
        host = host_;
    }
    host->endpointsChanged();
    return true;
}

bool VirtualBackend::removeCable(const std::string& name) {
    std::shared_ptr<Cable> removed;
    BackendHost* host = nullptr;
    {
        std::lock_guard guard(mutex_);
        for (auto it = cables_.begin(); it != cables_.end(); ++it) {
            if ((*it)->name == name) {
                removed = *it;
                cables_.erase(it);
                break;
            }
        }
        host = host_;
    }
    if (!removed) {
        return false;
    }
    {
        std::lock_guard guard(removed->mutex);
        removed->sink = nullptr; // no sink call after this
    }
    if (host != nullptr) {
        host->endpointsChanged();
    }
    return true;
}

} // namespace cvx::platform
