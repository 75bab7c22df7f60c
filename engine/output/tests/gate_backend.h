// A MIDI backend for tests of the send paths: one input and two outputs, "Gate A" and
// "Gate B". It records what each output is sent, can hold every send to Gate A until it is
// opened again, counts sends made while the caller held the engine lock, and notes which
// thread made each send. Made with `neverBlocks`, it promises sends that never wait (and
// must then not be held).
#pragma once

#include "core/engine_lock.h"
#include "platform/midi_backend.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace cvx::test {

class GateBackend final : public platform::MidiBackend {
public:
    explicit GateBackend(bool neverBlocks = false) : neverBlocks_(neverBlocks) {}

    static constexpr uint64_t kInputKey = 1;
    static constexpr uint64_t kGateA = 10;
    static constexpr uint64_t kGateB = 11;

    const char* name() const override { return "gate"; }
    bool start(platform::BackendHost&) override { return true; }
    void stop() override { hold(false); }
    std::vector<platform::EndpointInfo> inputs() override { return {{kInputKey, "Gate In"}}; }
    std::vector<platform::EndpointInfo> outputs() override {
        return {{kGateA, "Gate A"}, {kGateB, "Gate B"}};
    }
    MMRESULT openInput(uint64_t, platform::InputSink&) override { return MMSYSERR_NOERROR; }
    void closeInput(uint64_t) override {}
    MMRESULT openOutput(uint64_t) override { return MMSYSERR_NOERROR; }
    void closeOutput(uint64_t) override {}
    bool carriesRunningStatus() const override { return false; }
    bool sendNeverBlocks() const override { return neverBlocks_; }

    MMRESULT send(uint64_t key, const uint8_t* bytes, size_t length) override {
        std::unique_lock lock(mutex_);
        if (core::EngineLock::heldByCaller()) {
            ++sendsUnderEngineLock_;
        }
        if (key == kGateA) {
            ++entered_;
            changed_.notify_all();
            changed_.wait(lock, [&] { return !held_; });
        }
        std::vector<uint8_t>& wire = key == kGateA ? a_ : b_;
        wire.insert(wire.end(), bytes, bytes + length);
        (key == kGateA ? sendersA_ : sendersB_).push_back(std::this_thread::get_id());
        changed_.notify_all();
        return MMSYSERR_NOERROR;
    }

    // While held, every send to Gate A waits.
    void hold(bool on) {
        std::lock_guard lock(mutex_);
        held_ = on;
        changed_.notify_all();
    }

    // Waits (generously) until `output` has received at least `count` bytes.
    bool waitForBytes(uint64_t output, size_t count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(30),
                                 [&] { return (output == kGateA ? a_ : b_).size() >= count; });
    }

    // Waits until a send to Gate A has begun.
    bool waitForGateAEntered() {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(30), [&] { return entered_ > 0; });
    }

    std::vector<uint8_t> received(uint64_t output) {
        std::lock_guard lock(mutex_);
        return output == kGateA ? a_ : b_;
    }

    // The thread of each send to `output`, in order.
    std::vector<std::thread::id> senders(uint64_t output) {
        std::lock_guard lock(mutex_);
        return output == kGateA ? sendersA_ : sendersB_;
    }

    int sendsUnderEngineLock() {
        std::lock_guard lock(mutex_);
        return sendsUnderEngineLock_;
    }

private:
    const bool neverBlocks_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool held_ = false;
    int entered_ = 0;
    int sendsUnderEngineLock_ = 0;
    std::vector<uint8_t> a_;
    std::vector<uint8_t> b_;
    std::vector<std::thread::id> sendersA_;
    std::vector<std::thread::id> sendersB_;
};

} // namespace cvx::test
