// The virtual backend: loopback cables "Corvex Loopback 1" ... "N" (N from CORVEX_LOOPBACKS,
// default 4, 0-16; an unreadable value gives the default), plus cables added at run time
// (vmidiAddCable). Each cable is one output endpoint and one input endpoint with the same
// key. A byte stream (carriesRunningStatus): it gets exactly the bytes the engine sent.
//
// Sending to a cable records the bytes in the cable's tap ring (4 MiB, allocated when the
// output is first opened, oldest bytes dropped when nobody takes them: vmidiTake) and, when
// the cable's input is open, hands them to the input's sink, which only queues them: the
// service's input thread delivers them later, never on the sender's thread.
//
// Cables live in a fixed table of slots (kMaxCables, allocated once), so a send finds its
// cable without a lock of the backend: it scans the slots for the key and re-checks the key
// under the cable's own mutex. Removing a cable clears its key and sink under that mutex,
// so a send that found the slot before fails with MMSYSERR_NODRIVER; the slot is reused by
// a later cable. The order the device lists show is kept apart (order_). send() and take()
// from any thread; the rest is serialised by mutex_.
#pragma once

#include "platform/byte_ring.h"
#include "platform/midi_backend.h"

#include <atomic>
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
    static constexpr size_t kMaxCables = 128; // started and added ones present at once

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

    // Hot-plug (the tap). Both call the host's endpointsChanged(); addCable fails when
    // kMaxCables cables are present.
    bool addCable(const std::string& name);
    bool removeCable(const std::string& name);
    // Bytes sent to the cable's output since the last take.
    size_t take(uint64_t key, uint8_t* buffer, size_t capacity);

    // CORVEX_LOOPBACKS as read at start().
    static int cableCountFromEnvironment();

private:
    struct Cable {
        std::atomic<uint64_t> key{0}; // 0: free; written under mutex (and mutex_)
        std::string name;             // guarded by mutex_
        std::mutex mutex;
        InputSink* sink = nullptr; // guarded by mutex
        ByteRing tap;              // guarded by mutex
    };
    // The cable with `key`, its mutex locked and the key checked under it; null when none.
    Cable* lock(uint64_t key, std::unique_lock<std::mutex>& guard);
    // With mutex_ held: a free slot made into a cable named `name`, or null when full.
    Cable* claimSlot(const std::string& name);
    // With mutex_ held: frees the slot (no sink call and no send after it returns).
    void releaseSlot(Cable& cable);

    std::mutex mutex_;
    std::unique_ptr<Cable[]> slots_{new Cable[kMaxCables]};
    std::atomic<size_t> slotsInUse_{0}; // slots at or past it are free: bounds the scan
    std::vector<Cable*> order_;         // present cables in the order of the device lists
    uint64_t nextKey_ = 1;
    BackendHost* host_ = nullptr;
};

} // namespace cvx::platform
