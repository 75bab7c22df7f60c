// Test doubles for the service side of the backend contract: a sink that records what an
// input delivers, a host that counts endpoint changes, and polling for conditions that
// other threads make true.
#pragma once

#include "platform/midi_backend.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace cvx::platform {

// Polls `condition` until it holds or `timeout` passes; returns its last value.
template <typename Condition>
bool eventually(Condition condition, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

class RecordingSink final : public InputSink {
public:
    struct Arrival {
        std::vector<uint8_t> bytes;
        uint32_t arrivalMs = 0;
    };

    void receive(const uint8_t* bytes, size_t length, uint32_t arrivalMs) override {
        std::lock_guard lock(mutex_);
        arrivals_.push_back({{bytes, bytes + length}, arrivalMs});
    }

    void countOverrun(uint32_t deliveries) override { overruns_ += deliveries; }
    uint64_t overruns() const { return overruns_.load(); }

    std::vector<Arrival> arrivals() const {
        std::lock_guard lock(mutex_);
        return arrivals_;
    }

    std::vector<uint8_t> bytes() const {
        std::vector<uint8_t> all;
        for (const Arrival& arrival : arrivals()) {
            all.insert(all.end(), arrival.bytes.begin(), arrival.bytes.end());
        }
        return all;
    }

    bool waitForBytes(size_t count) {
        return eventually([&] { return bytes().size() >= count; });
    }

private:
    mutable std::mutex mutex_;
    std::vector<Arrival> arrivals_;
    std::atomic<uint64_t> overruns_{0};
};

class CountingHost final : public BackendHost {
public:
    void endpointsChanged() override { ++changes_; }
    int changes() const { return changes_; }

private:
    std::atomic<int> changes_{0};
};

inline bool hasEndpointNamed(const std::vector<EndpointInfo>& endpoints, const std::string& name) {
    return std::any_of(endpoints.begin(), endpoints.end(),
                       [&](const EndpointInfo& endpoint) { return endpoint.name == name; });
}

inline uint64_t keyOfEndpointNamed(const std::vector<EndpointInfo>& endpoints,
                                   const std::string& name) {
    const auto found =
        std::find_if(endpoints.begin(), endpoints.end(),
                     [&](const EndpointInfo& endpoint) { return endpoint.name == name; });
    return found == endpoints.end() ? 0 : found->key;
}

} // namespace cvx::platform
