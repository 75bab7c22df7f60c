// Shared pieces of the platform tests: a fixture that gives each test a fresh MIDI service
// with the default four loopback cables, a thread-safe recorder of input callbacks, and a
// small whole-message backend that speaks the backend contract.
#pragma once

#include "cvx_devices.h"
#include "cvx_platform.h"
#include "platform/backend_factories.h"
#include "platform/midi_service.h"
#include "vmidi.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

namespace cvx::platform::testing {

class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override {
        cvxClockManual(0);
        unsetenv("CORVEX_LOOPBACKS");
        std::vector<std::unique_ptr<MidiBackend>> backends;
        backends.push_back(makeVirtualBackend());
        MidiService::restartWith(std::move(backends));
    }
    void TearDown() override {
        cvxMidiSetDeviceChangeCallback(nullptr, nullptr);
        cvxClockManual(0);
    }
};

struct Received {
    UINT msg;
    DWORD_PTR p1;
    DWORD_PTR p2;
    std::vector<uint8_t> data; // MIM_LONGDATA: the bytes recorded
    std::thread::id thread;
};

// Records every callback of an input; pass &recorder as instance data.
class Recorder {
public:
    static void callback(HMIDIIN, UINT msg, DWORD_PTR instance, DWORD_PTR p1, DWORD_PTR p2) {
        auto* self = reinterpret_cast<Recorder*>(instance);
        Received r{msg, p1, p2, {}, std::this_thread::get_id()};
        if (msg == MIM_LONGDATA) {
            auto* header = reinterpret_cast<MIDIHDR*>(p1);
            r.data.assign(header->lpData, header->lpData + header->dwBytesRecorded);
        }
        std::lock_guard guard(self->mutex_);
        self->events_.push_back(std::move(r));
    }
    DWORD_PTR instance() { return reinterpret_cast<DWORD_PTR>(this); }
    std::vector<Received> events() {
        std::lock_guard guard(mutex_);
        return events_;
    }
    // Only the given kinds.
    std::vector<Received> events(UINT msg) {
        std::vector<Received> out;
        for (auto& e : events()) {
            if (e.msg == msg) {
                out.push_back(e);
            }
        }
        return out;
    }
    std::vector<DWORD_PTR> shortMessages() {
        std::vector<DWORD_PTR> out;
        for (auto& e : events(MIM_DATA)) {
            out.push_back(e.p1);
        }
        return out;
    }
    void clear() {
        std::lock_guard guard(mutex_);
        events_.clear();
    }

private:
    std::mutex mutex_;
    std::vector<Received> events_;
};

// A header with its own data block.
struct Buffer {
    explicit Buffer(size_t size) : data(size) {
        header.lpData = data.data();
        header.dwBufferLength = static_cast<DWORD>(size);
    }
    std::vector<char> data;
    MIDIHDR header{};
};

inline HMIDIIN openStartedInput(UINT device, Recorder& recorder) {
    HMIDIIN in = nullptr;
    EXPECT_EQ(midiInOpen(&in, device, reinterpret_cast<DWORD_PTR>(&Recorder::callback),
                         recorder.instance(), CALLBACK_FUNCTION),
              MMSYSERR_NOERROR);
    EXPECT_EQ(midiInStart(in), MMSYSERR_NOERROR);
    return in;
}

inline void feed(UINT device, std::vector<uint8_t> bytes) {
    ASSERT_EQ(vmidiFeed(device, bytes.data(), static_cast<unsigned>(bytes.size())), 1);
}

inline std::vector<uint8_t> takeAll(UINT device) {
    std::vector<uint8_t> out(1 << 16);
    out.resize(vmidiTake(device, out.data(), static_cast<unsigned>(out.size())));
    return out;
}

// A backend carrying whole messages (like a sequencer API), with one endpoint each way.
// Records what it is sent; sends of more than `gateAbove` bytes wait at a gate.
class FakeBackend final : public MidiBackend {
public:
    explicit FakeBackend(const char* name = "fake") : name_(name) {}
    const char* name() const override { return name_; }
    bool start(BackendHost&) override { return true; }
    void stop() override {}
    std::vector<EndpointInfo> inputs() override { return {{7, "Fake In"}}; }
    std::vector<EndpointInfo> outputs() override { return {{7, "Fake Out"}}; }
    MMRESULT openInput(uint64_t, InputSink&) override { return MMSYSERR_NOERROR; }
    void closeInput(uint64_t) override {}
    MMRESULT openOutput(uint64_t) override { return MMSYSERR_NOERROR; }
    void closeOutput(uint64_t) override {}
    bool carriesRunningStatus() const override { return false; }
    MMRESULT send(uint64_t, const uint8_t* bytes, size_t length) override {
        std::unique_lock lock(mutex_);
        sent_.emplace_back(bytes, bytes + length);
        if (length > gateAbove_) {
            inGate_ = true;
            changed_.notify_all();
            changed_.wait(lock, [&] { return open_; });
            inGate_ = false;
        }
        return MMSYSERR_NOERROR;
    }

    std::vector<std::vector<uint8_t>> sent() {
        std::lock_guard guard(mutex_);
        return sent_;
    }
    void closeGateAbove(size_t length) {
        std::lock_guard guard(mutex_);
        gateAbove_ = length;
        open_ = false;
    }
    void waitInGate() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return inGate_; });
    }
    void openGate() {
        std::lock_guard guard(mutex_);
        open_ = true;
        changed_.notify_all();
    }

private:
    const char* name_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::vector<uint8_t>> sent_;
    size_t gateAbove_ = SIZE_MAX;
    bool open_ = true;
    bool inGate_ = false;
};

// Restarts the service with the virtual cables followed by one fake backend.
inline FakeBackend* restartWithFake() {
    auto fake = std::make_unique<FakeBackend>();
    FakeBackend* raw = fake.get();
    std::vector<std::unique_ptr<MidiBackend>> backends;
    backends.push_back(makeVirtualBackend());
    backends.push_back(std::move(fake));
    MidiService::restartWith(std::move(backends));
    return raw;
}

} // namespace cvx::platform::testing
