// MIDI endpoints of a running JACK server: every MIDI output port of another client is an
// input, every MIDI input port an output. Opening an endpoint registers a port of Corvex's
// own client and connects it. The process callback only moves events between the ports and
// lock-free rings; a worker thread empties the input rings into the sinks and turns port
// registration and server shutdown into endpoint changes.
#pragma once

#include "jack_endpoint_keys.h"
#include "jack_midi_ring.h"
#include "platform/midi_backend.h"

#include <jack/jack.h>
#include <semaphore.h>

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace cvx::platform {

class JackBackend final : public MidiBackend {
public:
    JackBackend();
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

private:
    // One open endpoint and the port of our own client connected to it.
    struct Slot {
        // Published to the process callback once the slot is ready; null while free.
        std::atomic<jack_port_t*> livePort{nullptr};
        std::unique_ptr<JackMidiRing> ring;
        uint64_t lastEventTime = 0; // the process callback's, in JACK microseconds
        // The rest is the worker's and the calls' side, under mutex_.
        jack_port_t* ownPort = nullptr;
        uint64_t key = 0;
        InputSink* sink = nullptr;
        bool vanished = false;
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
    void close(Slots& slots, uint64_t key);
    Slot* find(Slots& slots, uint64_t key);
    Slot* findFree(Slots& slots);
    void retire(Slot& slot);
    bool waitUntilConnected(jack_port_t* ownPort);
    bool waitUntilProcessLetGo();

    void work();
    void deliverInputs();
    bool refreshEndpoints();
    void markVanished(Slots& slots, const std::vector<EndpointInfo>& present);
    uint32_t arrivalMs(uint64_t jackTimeUs) const;

    jack_client_t* client_ = nullptr;
    BackendHost* host_ = nullptr;
    std::thread worker_;
    sem_t wake_;

    std::atomic<bool> stopping_{false};
    std::atomic<bool> serverGone_{false};
    std::atomic<bool> endpointsDirty_{false};
    std::atomic<bool> inProcess_{false};
    std::atomic<uint64_t> cycles_{0};
    JackEndpointKeys keys_;

    std::mutex mutex_; // slots (their non-published side), sinks, published endpoint lists
    Slots inputs_;
    Slots outputs_;
    std::vector<EndpointInfo> knownInputs_;
    std::vector<EndpointInfo> knownOutputs_;
    unsigned portSerial_ = 0;
};

} // namespace cvx::platform
