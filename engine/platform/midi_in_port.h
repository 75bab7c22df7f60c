// One open MIDI input (the object behind an HMIDIIN) and the sink its backend feeds.
//
// Bytes from the backend (or vmidiFeed) go into a fixed ring of records (arrival time,
// length, bytes) under a short lock; receive() never blocks and drops what does not fit.
// The service's input thread calls process(), which parses the bytes (midi_byte_parser.h)
// and runs the callback: MIM_DATA / MIM_ERROR (packed message, ms since midiInStart) and
// MIM_LONGDATA (the buffer header, its time stamp) when a SysEx buffer is full, at F7, or
// when SysEx is cut short by a status byte. With no buffer queued SysEx bytes are dropped.
//
// Buffer headers are queued through their lpNext field (reserved for the service), so
// adding a buffer never allocates. midiInStop returns a partly filled buffer with its bytes;
// midiInReset returns every queued buffer with 0 bytes recorded; both (and MIM_OPEN /
// MIM_CLOSE) run the callback on the calling thread before they return. midiInClose with
// buffers queued fails with MIDIERR_STILLPLAYING; otherwise it waits for a callback of this
// input running on another thread, and no callback runs after it returns.
//
// A device that vanished makes the port dead: its queued buffers are handed back silently
// (done, 0 bytes), no callback runs again, calls other than prepare, unprepare and close
// fail with MMSYSERR_NODRIVER.
#pragma once

#include "platform/byte_ring.h"
#include "platform/midi_byte_parser.h"
#include "platform/port_life_cycle.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace cvx::platform {

class MidiInPort final : public InputSink, public PortLifeCycle {
public:
    static constexpr size_t kRingBytes = 256 * 1024;
    static constexpr uint32_t kMaxRecord = 4096;
    static constexpr int kRecordsPerTurn = 32;

    void init(uint32_t slot, PortHost* host) {
        PortLifeCycle::init(slot);
        host_ = host;
    }

    // Backend side: queue bytes, never block.
    void receive(const uint8_t* bytes, size_t length, uint32_t arrivalMs) override;
    void countOverrun(uint32_t deliveries) override {
        overruns_.fetch_add(deliveries, std::memory_order_relaxed);
    }
    // Deliveries lost since the port was made: in the backend's buffer or in this port's
    // ring (a receive() that did not fit, counted once however much of it was cut).
    uint64_t overruns() const { return overruns_.load(std::memory_order_relaxed); }
    // vmidiFeed: like receive(), but may wait for room in the ring.
    void feed(const uint8_t* bytes, size_t length, uint32_t arrivalMs, bool mayWait);

    // The service checked that the slot is free and the device not open elsewhere.
    MMRESULT open(BackendSlot* backend, uint64_t key, LPMIDICALLBACK callback, DWORD_PTR instance,
                  HMIDIIN* handle);
    // MIM_OPEN, run by the service once it let go of its open lock.
    void announceOpen(uint32_t generation) { announce(generation, MIM_OPEN); }
    MMRESULT close(uint32_t generation);
    MMRESULT prepareHeader(uint32_t generation, MIDIHDR* header, UINT size);
    MMRESULT unprepareHeader(uint32_t generation, MIDIHDR* header, UINT size);
    MMRESULT addBuffer(uint32_t generation, MIDIHDR* header, UINT size);
    MMRESULT start(uint32_t generation);
    MMRESULT stop(uint32_t generation);
    MMRESULT reset(uint32_t generation);
    // The device the handle is open on; MMSYSERR_NODRIVER when it vanished.
    MMRESULT device(uint32_t generation, BackendSlot*& backend, uint64_t& key);

    // Service: whether the port is open (alive) on a device, and which.
    bool liveDevice(BackendSlot*& backend, uint64_t& key);
    void markDead();
    void forceClose();

    // Input thread: parses up to kRecordsPerTurn queued records (so that a busy input, e.g.
    // a cable in a feedback loop, cannot starve the others) and runs their callbacks.
    // Returns whether more are queued.
    bool pending() const { return hasData_.load(std::memory_order_acquire); }
    bool process();

    // Settle: the count of records queued so far, and whether that many are done.
    uint64_t queuedSoFar();
    bool doneUpTo(uint64_t count) const { return done_.load() >= count; }

private:
    void push(const uint8_t* bytes, size_t length, uint32_t arrivalMs, bool mayWait);
    // Both with mutex_ held; flush also takes ringMutex_.
    void stopDelivery();
    void flushLocked();
    uint32_t stamp(uint32_t time) const;
    void apply(std::unique_lock<std::mutex>& lock, const MidiByteParser::Action& action);
    void store(std::unique_lock<std::mutex>& lock, uint8_t byte, uint32_t time, bool end);
    void returnHead(std::unique_lock<std::mutex>& lock);
    MIDIHDR* detachAll();
    void closeAtBackend(bool wasOpen);

    PortHost* host_ = nullptr;

    // ---- guarded by mutex_ (PortLifeCycle) ----
    bool started_ = false;
    uint32_t startMs_ = 0;
    MIDIHDR* head_ = nullptr;
    MIDIHDR* tail_ = nullptr;
    uint32_t bufferTime_ = 0;
    MidiByteParser parser_;
    uint8_t scratch_[kMaxRecord];

    // ---- guarded by ringMutex_ (epoch_ is written holding both locks) ----
    std::mutex ringMutex_;
    std::condition_variable space_;
    ByteRing ring_;
    bool accepting_ = false;
    uint32_t epoch_ = 0;
    uint64_t queued_ = 0; // records ever queued
    uint64_t inRing_ = 0; // records in the ring now
    std::atomic<bool> hasData_{false};
    std::atomic<uint64_t> done_{0}; // records parsed or dropped
    std::atomic<uint64_t> overruns_{0};
};

} // namespace cvx::platform
