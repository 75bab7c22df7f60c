// The virtual backend: loopback cables "Corvex Loopback 1" ... "N" (N from CORVEX_LOOPBACKS,
// default 4, 0-16; an unreadable value gives the default), plus cables added at run time
// (vmidiAddCable). Each cable is one output endpoint and one input endpoint with the same
// key. A byte stream (carriesRunningStatus): it gets exactly the bytes the engine sent.
//
// Sending to a cable records the bytes in the cable's tap ring (4 MiB, allocated when the
// output is first opened, oldest bytes dropped when nobody takes them: vmidiTake) and, when
// the cable's input is open, hands them to the input's sink, which only queues them: the
// service's input thread delivers them later, never on the sender's thread.
#pragma once

#include "platform/byte_ring.h"
#include "platform/midi_backend.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace cvx::platform {

class VirtualBackend final : public MidiBackend {
public:
    static constexpr size_t kTapBytes = 4u * 1024 * 1024;
    static constexpr int kDefaultCables = 4;
    static constexpr int kMaxStartCables = 16;
    static constexpr size_t kMaxName = 255;

    const char* name() const override { return "virtual"; }
    bool start(BackendHost& host) override;
    void stop() override;
    std::vector<EndpointInfo> inputs() override;
    std::vector<EndpointInfo> outputs() override;
    MMRESULT openInput(uint64_t key, InputSink& sink) override;
    void closeInput(uint64_t key) override;
    MMRESULT openOutput(uint64_t key) override;
    void closeOutput(uint64_t key) override;
    MMRESULT send(uint64_t key, const uint8_t* bytes, size_t length) override;
    bool carriesRunningStatus() const override { return true; }
    bool sendNeverBlocks() const override { return true; }
    VirtualBackend* loopback() override { return this; }

    // Hot-plug (the tap). Both call the host's endpointsChanged().
    bool addCable(const std::string& name);
    bool removeCable(const std::string& name);
    // Bytes sent to the cable's output since the last take.
    size_t take(uint64_t key, uint8_t* buffer, size_t capacity);

    // CORVEX_LOOPBACKS as read at start().
    static int cableCountFromEnvironment();

private:
    struct Cable {
        uint64_t key = 0;
        std::string name;
        std::mutex mutex;
        InputSink* sink = nullptr;
        ByteRing tap;
    };
    std::shared_ptr<Cable> find(uint64_t key);

    std::mutex mutex_;
    std::vector<std::shared_ptr<Cable>> cables_;
    uint64_t nextKey_ = 1;
    BackendHost* host_ = nullptr;
};

} // namespace cvx::platform
