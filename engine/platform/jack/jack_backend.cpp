#include "jack_backend.h"

#include "platform/backend_factories.h"

#include <jack/midiport.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>

namespace cvx::platform {
namespace {

constexpr const char* kClientName = "Corvex";
constexpr size_t kInputRingBytes = 64 * 1024;
// Room for the longest SysEx buffer the engine hands over (64 KiB) and more.
constexpr size_t kOutputRingBytes = 128 * 1024;
constexpr size_t kLongestShortMessage = 3;
constexpr uint64_t kMicrosecondsPerSecond = 1000000;
// How long closing waits for a process cycle that still holds the port; a server that
// stalls longer gets the ring leaked rather than freed under it.
constexpr auto kProcessLetGoTimeout = std::chrono::seconds(2);

// How long opening waits for a new connection to take effect.
constexpr auto kConnectTimeout = std::chrono::seconds(5);

// A busy server sometimes fails a client's opening half way; that is tried again.
constexpr int kOpenAttempts = 3;
constexpr auto kOpenRetryDelay = std::chrono::milliseconds(200);

void discardJackMessage(const char*) {}
void printJackError(const char* message) {
    std::fprintf(stderr, "JACK: %s\n", message);
}

// Never starts a server. Gives up at once when there is none.
jack_client_t* connectToServer() {
    for (int attempt = 1;; ++attempt) {
        jack_status_t status{};
        jack_client_t* client = jack_client_open(kClientName, JackNoStartServer, &status);
        if (client != nullptr || (status & JackServerError) == 0 || attempt == kOpenAttempts) {
            return client;
        }
        std::this_thread::sleep_for(kOpenRetryDelay);
    }
}

bool sameEndpoints(const std::vector<EndpointInfo>& a, const std::vector<EndpointInfo>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const EndpointInfo& x, const EndpointInfo& y) {
                          return x.key == y.key && x.name == y.name;
                      });
}

bool listsKey(const std::vector<EndpointInfo>& endpoints, uint64_t key) {
    return std::any_of(endpoints.begin(), endpoints.end(),
                       [&](const EndpointInfo& endpoint) { return endpoint.key == key; });
}

} // namespace

JackBackend::JackBackend() {
    sem_init(&wake_, 0, 0);
}

JackBackend::~JackBackend() {
    stop();
    sem_destroy(&wake_);
}

bool JackBackend::start(BackendHost& host) {
    if (client_ != nullptr || !openClient()) {
        return false;
    }
    host_ = &host;
    stopping_ = false;
    knownInputs_ = endpoints(JackPortIsOutput);
    knownOutputs_ = endpoints(JackPortIsInput);
    worker_ = std::thread(&JackBackend::work, this);
    return true;
}

bool JackBackend::openClient() {
    // Without a server the library complains on stderr; a backend that cannot start is
    // skipped silently.
    jack_set_error_function(discardJackMessage);
    jack_set_info_function(discardJackMessage);
    client_ = connectToServer();
    if (client_ == nullptr) {
        return false;
    }
    jack_set_error_function(printJackError);
    serverGone_ = false;
    jack_set_process_callback(client_, onProcess, this);
    jack_set_port_registration_callback(client_, onPortRegistration, this);
    jack_set_port_rename_callback(client_, onPortRename, this);
    jack_on_info_shutdown(client_, onShutdown, this);
    if (jack_activate(client_) != 0) {
        jack_client_close(client_);
        client_ = nullptr;
        return false;
    }
    return true;
}

void JackBackend::stop() {
    if (client_ == nullptr) {
        return;
    }
    stopping_ = true;
    sem_post(&wake_);
    worker_.join();
    closeClient();
}

void JackBackend::closeClient() {
    if (!serverGone_) {
        jack_deactivate(client_); // no process cycle runs after this
    }
    jack_client_close(client_); // unregisters our ports
    client_ = nullptr;
    host_ = nullptr;
    std::lock_guard lock(mutex_);
    for (Slots* slots : {&inputs_, &outputs_}) {
        for (Slot& slot : *slots) {
            slot.livePort = nullptr;
            slot.ring.reset();
            slot.ownPort = nullptr;
            slot.sink = nullptr;
        }
    }
    knownInputs_.clear();
    knownOutputs_.clear();
}

// ---- The process callback: no allocation, no locks, no logging ----------------------------

int JackBackend::onProcess(jack_nframes_t frames, void* self) {
    static_cast<JackBackend*>(self)->process(frames);
    return 0;
}

void JackBackend::process(jack_nframes_t frames) {
    inProcess_ = true;
    const CycleClock clock{jack_get_time(), frames, jack_get_sample_rate(client_)};
    bool captured = false;
    for (Slot& slot : inputs_) {
        if (jack_port_t* port = slot.livePort.load()) {
            captured = capture(slot, port, clock) || captured;
        }
    }
    for (Slot& slot : outputs_) {
        if (jack_port_t* port = slot.livePort.load()) {
            play(slot, port, frames);
        }
    }
    inProcess_ = false;
    ++cycles_;
    if (captured) {
        sem_post(&wake_);
    }
}

uint64_t JackBackend::CycleClock::timeOf(jack_nframes_t offset) const {
    // The cycle's events belong to the period that has just ended.
    const uint64_t framesAgo = frames - std::min(offset, frames);
    return now - framesAgo * kMicrosecondsPerSecond / std::max<jack_nframes_t>(sampleRate, 1);
}

bool JackBackend::capture(Slot& slot, jack_port_t* port, const CycleClock& clock) {
    void* buffer = jack_port_get_buffer(port, clock.frames);
    const uint32_t count = jack_midi_get_event_count(buffer);
    for (uint32_t index = 0; index < count; ++index) {
        jack_midi_event_t event;
        if (jack_midi_event_get(&event, buffer, index) == 0) {
            // Times never run backwards, even when cycles come late and then bunch up.
            slot.lastEventTime = std::max(slot.lastEventTime, clock.timeOf(event.time));
            // A full ring drops the event: the process callback cannot wait.
            slot.ring->push(slot.lastEventTime, event.buffer, event.size);
        }
    }
    return count > 0;
}

void JackBackend::play(Slot& slot, jack_port_t* port, jack_nframes_t frames) {
    void* buffer = jack_port_get_buffer(port, frames);
    jack_midi_clear_buffer(buffer);
    JackMidiRing& ring = *slot.ring;
    for (size_t pending = ring.pendingBytes(); pending > 0; pending = ring.pendingBytes()) {
        // A short message goes whole; SysEx may be cut where the buffer is full and goes on
        // in the next cycle.
        const size_t room = jack_midi_max_event_size(buffer);
        const size_t count = pending <= room ? pending : pending > kLongestShortMessage ? room : 0;
        jack_midi_data_t* event = count > 0 ? jack_midi_event_reserve(buffer, 0, count) : nullptr;
        if (event == nullptr) {
            return;
        }
        ring.read(event, count);
    }
}

// ---- Notifications: they only flag and wake the worker -------------------------------------

void JackBackend::flagEndpointsDirty(JackBackend& backend) {
    backend.endpointsDirty_ = true;
    sem_post(&backend.wake_);
}

void JackBackend::onPortRegistration(jack_port_id_t port, int registered, void* self) {
    auto* backend = static_cast<JackBackend*>(self);
    if (registered == 0) {
        backend->keys_.portUnregistered(port);
    }
    flagEndpointsDirty(*backend);
}

void JackBackend::onPortRename(jack_port_id_t, const char*, const char*, void* self) {
    flagEndpointsDirty(*static_cast<JackBackend*>(self));
}

void JackBackend::onShutdown(jack_status_t, const char*, void* self) {
    auto* backend = static_cast<JackBackend*>(self);
    backend->serverGone_ = true;
    flagEndpointsDirty(*backend);
}

// ---- The worker ----------------------------------------------------------------------------

void JackBackend::work() {
    for (;;) {
        while (sem_wait(&wake_) != 0 && errno == EINTR) {
        }
        if (stopping_) {
            return;
        }
        deliverInputs();
        if (endpointsDirty_.exchange(false) && refreshEndpoints()) {
            host_->endpointsChanged();
        }
    }
}

void JackBackend::deliverInputs() {
    std::lock_guard lock(mutex_);
    for (Slot& slot : inputs_) {
        if (slot.sink == nullptr) {
            continue;
        }
        uint64_t time = 0;
        while (const size_t length = slot.ring->pop(slot.received.data(), time)) {
            slot.sink->receive(slot.received.data(), length, arrivalMs(time));
        }
    }
}

uint32_t JackBackend::arrivalMs(uint64_t jackTimeUs) const {
    const jack_time_t now = jack_get_time();
    const uint64_t ageMs = jackTimeUs < now ? (now - jackTimeUs) / 1000 : 0;
    return timeGetTime() - static_cast<uint32_t>(ageMs);
}

bool JackBackend::refreshEndpoints() {
    std::vector<EndpointInfo> inputs = endpoints(JackPortIsOutput);
    std::vector<EndpointInfo> outputs = endpoints(JackPortIsInput);
    std::lock_guard lock(mutex_);
    markVanished(inputs_, inputs);
    markVanished(outputs_, outputs);
    const bool changed =
        !sameEndpoints(inputs, knownInputs_) || !sameEndpoints(outputs, knownOutputs_);
    knownInputs_ = std::move(inputs);
    knownOutputs_ = std::move(outputs);
    return changed;
}

void JackBackend::markVanished(Slots& slots, const std::vector<EndpointInfo>& present) {
    for (Slot& slot : slots) {
        if (slot.ownPort != nullptr && !listsKey(present, slot.key)) {
            slot.vanished = true;
            slot.sink = nullptr;
        }
    }
}

// ---- Endpoints -----------------------------------------------------------------------------

std::vector<EndpointInfo> JackBackend::inputs() {
    return endpoints(JackPortIsOutput);
}

std::vector<EndpointInfo> JackBackend::outputs() {
    return endpoints(JackPortIsInput);
}

std::vector<EndpointInfo> JackBackend::endpoints(unsigned long portFlags) {
    std::vector<EndpointInfo> found;
    if (client_ == nullptr || serverGone_) {
        return found;
    }
    const char** names = jack_get_ports(client_, nullptr, JACK_DEFAULT_MIDI_TYPE, portFlags);
    if (names == nullptr) {
        return found;
    }
    for (const char** name = names; *name != nullptr; ++name) {
        const jack_port_t* port = jack_port_by_name(client_, *name);
        if (port != nullptr && jack_port_is_mine(client_, port) == 0) {
            found.push_back({keys_.keyOf(jack_port_uuid(port)), *name});
        }
    }
    jack_free(static_cast<void*>(names));
    return found;
}

std::optional<std::string> JackBackend::endpointName(uint64_t key, unsigned long portFlags) {
    for (EndpointInfo& endpoint : endpoints(portFlags)) {
        if (endpoint.key == key) {
            return std::move(endpoint.name);
        }
    }
    return std::nullopt;
}

// ---- Opening and closing -------------------------------------------------------------------

MMRESULT JackBackend::openInput(uint64_t key, InputSink& sink) {
    return open(inputs_, key, &sink);
}

void JackBackend::closeInput(uint64_t key) {
    close(inputs_, key);
}

MMRESULT JackBackend::openOutput(uint64_t key) {
    return open(outputs_, key, nullptr);
}

void JackBackend::closeOutput(uint64_t key) {
    close(outputs_, key);
}

MMRESULT JackBackend::open(Slots& slots, uint64_t key, InputSink* sink) {
    const bool isInput = &slots == &inputs_;
    const std::optional<std::string> remote =
        endpointName(key, isInput ? JackPortIsOutput : JackPortIsInput);
    if (!remote) {
        return MMSYSERR_NODRIVER;
    }
    std::lock_guard lock(mutex_);
    if (find(slots, key) != nullptr) {
        return MMSYSERR_ALLOCATED;
    }
    Slot* slot = findFree(slots);
    const std::string portName = (isInput ? "in_" : "out_") + std::to_string(++portSerial_);
    jack_port_t* ownPort =
        slot == nullptr ? nullptr
                        : jack_port_register(client_, portName.c_str(), JACK_DEFAULT_MIDI_TYPE,
                                             isInput ? JackPortIsInput : JackPortIsOutput, 0);
    if (ownPort == nullptr) {
        return MMSYSERR_NOMEM;
    }
    slot->ring = std::make_unique<JackMidiRing>(isInput ? kInputRingBytes : kOutputRingBytes);
    slot->received.resize(isInput ? slot->ring->capacity() : 0);
    slot->ownPort = ownPort;
    slot->key = key;
    slot->sink = sink;
    slot->vanished = false;
    slot->lastEventTime = 0;
    slot->livePort = ownPort;
    const char* own = jack_port_name(ownPort);
    if (jack_connect(client_, isInput ? remote->c_str() : own, isInput ? own : remote->c_str()) !=
            0 ||
        !waitUntilConnected(ownPort)) {
        retire(*slot);
        return MMSYSERR_NODRIVER;
    }
    return MMSYSERR_NOERROR;
}

void JackBackend::close(Slots& slots, uint64_t key) {
    std::lock_guard lock(mutex_);
    if (Slot* slot = find(slots, key)) {
        retire(*slot);
    }
}

JackBackend::Slot* JackBackend::find(Slots& slots, uint64_t key) {
    const auto found = std::find_if(slots.begin(), slots.end(), [&](const Slot& slot) {
        return slot.ownPort != nullptr && slot.key == key;
    });
    return found == slots.end() ? nullptr : &*found;
}

JackBackend::Slot* JackBackend::findFree(Slots& slots) {
    const auto found = std::find_if(slots.begin(), slots.end(),
                                    [](const Slot& slot) { return slot.ownPort == nullptr; });
    return found == slots.end() ? nullptr : &*found;
}

void JackBackend::retire(Slot& slot) {
    slot.livePort = nullptr;
    if (!waitUntilProcessLetGo()) {
        static_cast<void>(slot.ring.release());
    }
    if (!serverGone_) {
        jack_port_unregister(client_, slot.ownPort); // also disconnects it
    }
    slot.ring.reset();
    slot.received = {};
    slot.ownPort = nullptr;
    slot.key = 0;
    slot.sink = nullptr;
    slot.vanished = false;
}

bool JackBackend::waitUntilConnected(jack_port_t* ownPort) {
    // A new connection takes effect at a later cycle; what the port carried before that
    // would be lost, so opening returns once the connection is in the graph the process
    // callback runs with.
    const auto deadline = std::chrono::steady_clock::now() + kConnectTimeout;
    while (jack_port_connected(ownPort) == 0) {
        if (serverGone_ || std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const uint64_t cycle = cycles_;
    while (cycles_ < cycle + 2 && !serverGone_ && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

bool JackBackend::waitUntilProcessLetGo() {
    // The callback reads each slot's port after raising inProcess_; once that is seen low,
    // or a cycle has ended since, no cycle can still hold the port just unpublished.
    const uint64_t cycle = cycles_;
    if (!inProcess_) {
        return true;
    }
    const auto deadline = std::chrono::steady_clock::now() + kProcessLetGoTimeout;
    while (cycles_ == cycle && !serverGone_) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

// ---- Output --------------------------------------------------------------------------------

MMRESULT JackBackend::send(uint64_t key, const uint8_t* bytes, size_t length) {
    std::lock_guard lock(mutex_);
    Slot* slot = find(outputs_, key);
    if (slot == nullptr) {
        return MMSYSERR_INVALHANDLE;
    }
    if (slot->vanished || serverGone_) {
        return MMSYSERR_NODRIVER;
    }
    if (length == 0 || slot->ring->push(0, bytes, length)) {
        return MMSYSERR_NOERROR;
    }
    return MIDIERR_NOTREADY;
}

std::unique_ptr<MidiBackend> makeJackBackend() {
    return std::make_unique<JackBackend>();
}

} // namespace cvx::platform
