// MIDI endpoints of a running JACK server: every MIDI output port of another client is an
// input, every MIDI input port an output. Opening an endpoint registers a port of Corvex's
// own client and connects it. Closing an output first delivers every message sent to it (or
// counts them as undelivered when its peer or the server is gone). The process callback
// only moves events between the ports and lock-free rings; a worker thread empties the
// input rings into the sinks and turns port registration and server shutdown into endpoint
// changes.
//
// Threads: the control calls (start, stop, inputs, outputs, open*, close*) come from the
// service, one at a time; send() from any thread, concurrently with them and with itself.
// Opening and closing one port never holds up traffic on the others: the JACK calls and
// waits of opening and closing run without any lock that send(), the worker or the process
// callback take. The process callback takes no lock at all.
#pragma once

#include "jack_endpoint_keys.h"
#include "jack_midi_ring.h"
#include "platform/midi_backend.h"

#include <jack/jack.h>
#include <semaphore.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace cvx::platform {

// The rings between the process callback and the rest: their sizes and how they are made.
struct JackRingOptions {
    size_t inputBytes = 64 * 1024;
    // Room for the longest SysEx buffer the engine hands over (64 KiB) and more.
    size_t outputBytes = 128 * 1024;
    // Makes one port's ring; may throw std::bad_alloc, which fails that opening.
    std::function<std::unique_ptr<JackMidiRing>(size_t capacityBytes)> make =
        [](size_t capacityBytes) { return std::make_unique<JackMidiRing>(capacityBytes); };
};

class JackBackend final : public MidiBackend {
public:
    explicit JackBackend(JackRingOptions rings = {});
    JackBackend(const JackBackend&) = delete;
    JackBackend& operator=(const JackBackend&) = delete;
    ~JackBackend() override;

    const char* name() const override { return "jack"; }
    bool start(BackendHost& host) override;
    void stop() override;

    std::vector<EndpointInfo> inputs() override;
    std::vector<EndpointInfo> outputs() override;

    MMRESULT openInput(uint64_t key, InputSink& sink) override;
    void closeInput(uint64_t key) override;
    MMRESULT openOutput(uint64_t key) override;
    void closeOutput(uint64_t key) override;

    MMRESULT send(uint64_t key, const uint8_t* bytes, size_t length) override;
    bool carriesRunningStatus() const override { return false; }
    bool sendNeverBlocks() const override { return true; }

    // Messages accepted by send() that closing an output could not deliver, because the
    // port it was connected to or the server went away first. Any thread.
    uint64_t undeliveredOnClose() const { return undelivered_; }

private:
    // Free -> Opening (reserved under mutex_) -> Open (published to send() and the worker
    // once connected) -> Closing (unpublished, then waited for) -> Free.
    enum class SlotState { Free, Opening, Open, Closing };

    // One endpoint being opened, open or being closed, and the port of our own client
    // connected to it.
    struct Slot {
        std::atomic<SlotState> state{SlotState::Free};
        std::atomic<uint64_t> key{0};
        std::atomic<bool> vanished{false}; // its remote port is gone: no more traffic
        // Served by the process callback while set: from before the port is connected until
        // closing unpublishes it.
        std::atomic<jack_port_t*> livePort{nullptr};
        // Set while Opening, before livePort; unchanged until the slot is Free again.
        std::unique_ptr<JackMidiRing> ring;
        InputSink* sink = nullptr; // inputs only
        jack_port_t* ownPort = nullptr;
        uint64_t lastEventTime = 0; // the process callback's, in JACK microseconds
        // Held by whoever works the ring's non-real-time end: a sender (the one producer of
        // an output's ring at a time) or the worker delivering an input. Closing takes it
        // once after unpublishing, so nobody is still inside when the ring is freed.
        std::mutex useMutex;
        std::vector<uint8_t> received; // an input's record on its way to the sink
    };
    static constexpr size_t kSlots = 136;
    using Slots = std::array<Slot, kSlots>;

    // When the events of one process cycle arrived, in JACK microseconds.
    struct CycleClock {
        jack_time_t now;
        jack_nframes_t frames;
        jack_nframes_t sampleRate;
        uint64_t timeOf(jack_nframes_t offset) const;
    };

    static int onProcess(jack_nframes_t frames, void* self);
    static void onPortRegistration(jack_port_id_t port, int registered, void* self);
    static void flagEndpointsDirty(JackBackend& backend);
    static void onPortRename(jack_port_id_t port, const char* oldName, const char* newName,
                             void* self);
    static void onShutdown(jack_status_t code, const char* reason, void* self);

    void process(jack_nframes_t frames);
    bool capture(Slot& slot, jack_port_t* port, const CycleClock& clock);
    void play(Slot& slot, jack_port_t* port, jack_nframes_t frames);

    bool openClient();
    void closeClient();
    std::vector<EndpointInfo> endpoints(unsigned long portFlags);
    std::optional<std::string> endpointName(uint64_t key, unsigned long portFlags);
    MMRESULT open(Slots& slots, uint64_t key, InputSink* sink); // a sink for inputs only
    MMRESULT reserve(Slots& slots, uint64_t key, Slot*& reserved);
    bool allocateRing(Slot& slot, bool isInput) noexcept;
    MMRESULT connect(Slot& slot, bool isInput, const std::string& remote);
    // Closing an output first lets the process callback deliver what was sent to it.
    void close(Slots& slots, uint64_t key);
    void deliverPending(Slot& slot);
    void waitForCycles(uint64_t count, std::chrono::steady_clock::time_point deadline);
    Slot* findOpen(Slots& slots, uint64_t key);
    void retire(Slot& slot);
    void release(Slot& slot);
    bool waitUntilConnected(jack_port_t* ownPort);
    bool waitUntilProcessLetGo();

    void work();
    void deliverInputs();
    bool refreshEndpoints();
    void markVanished(Slots& slots, const std::vector<EndpointInfo>& present);
    uint32_t arrivalMs(uint64_t jackTimeUs) const;

    const JackRingOptions rings_;
    jack_client_t* client_ = nullptr;
    BackendHost* host_ = nullptr;
    std::thread worker_;
    sem_t wake_;

    std::atomic<bool> stopping_{false};
    std::atomic<bool> serverGone_{false};
    std::atomic<bool> endpointsDirty_{false};
    std::atomic<bool> inProcess_{false};
    std::atomic<uint64_t> cycles_{0};
    std::atomic<uint64_t> undelivered_{0};
    JackEndpointKeys keys_;

    // Reserving and freeing slots, marking them vanished, the endpoint lists last seen. Held
    // only for those few steps, never across a JACK call.
    std::mutex mutex_;
    Slots inputs_;
    Slots outputs_;
    std::vector<EndpointInfo> knownInputs_;
    std::vector<EndpointInfo> knownOutputs_;
    std::atomic<unsigned> portSerial_{0};
};

} // namespace cvx::platform
