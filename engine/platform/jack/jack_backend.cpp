#include "jack_backend.h"

#include "platform/backend_factories.h"
#include "platform/rt_priority.h"

#include <jack/midiport.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <new>
#include <utility>

namespace cvx::platform {
namespace {

constexpr const char* kClientName = "Corvex";
constexpr size_t kLongestShortMessage = 3;
constexpr uint64_t kMicrosecondsPerSecond = 1000000;
// How long closing waits for a process cycle that still holds the port; a server that
// stalls longer gets the ring leaked rather than freed under it.
constexpr auto kProcessLetGoTimeout = std::chrono::seconds(2);

// How long closing an output waits for the process callback to take what was sent to it.
constexpr auto kDeliverTimeout = std::chrono::seconds(5);

// How long opening waits for a new connection to take effect.
constexpr auto kConnectTimeout = std::chrono::seconds(5);

// A busy server sometimes fails a client's opening half way; that is tried again.
constexpr int kOpenAttempts = 3;
constexpr auto kOpenRetryDelay = std::chrono::milliseconds(200);

// The worker hands captured input on to the service's input thread, and runs at its
// priority where real-time scheduling is allowed.
constexpr int kWorkerPriority = 45;

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

JackBackend::JackBackend(JackRingOptions rings) : rings_(std::move(rings)) {
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
    for (Slot& slot : outputs_) {
        if (slot.state == SlotState::Open) {
            slot.state = SlotState::Closing;
            deliverPending(slot);
        }
    }
    if (!serverGone_) {
        jack_deactivate(client_); // no process cycle runs after this
    }
    jack_client_close(client_); // unregisters our ports
    client_ = nullptr;
    host_ = nullptr;
    for (Slots* slots : {&inputs_, &outputs_}) {
        for (Slot& slot : *slots) {
            if (slot.state != SlotState::Free) {
                slot.state = SlotState::Closing;
                release(slot);
            }
        }
    }
    std::lock_guard lock(mutex_);
    knownInputs_.clear();
    knownOutputs_.clear();
}

// ---- The process callback: no allocation, no locks, no logging ----------------------------
// It reads only atomics, the lock-free rings and the slots' fields that stay unchanged while
// the slot is published, and tells the sink of lost input through its never-blocking count.

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
    uint32_t lost = 0;
    for (uint32_t index = 0; index < count; ++index) {
        jack_midi_event_t event;
        if (jack_midi_event_get(&event, buffer, index) == 0) {
            // Times never run backwards, even when cycles come late and then bunch up.
            slot.lastEventTime = std::max(slot.lastEventTime, clock.timeOf(event.time));
            // A full ring drops the event, counted: the process callback cannot wait.
            if (!slot.ring->push(slot.lastEventTime, event.buffer, event.size)) {
                ++lost;
            }
        }
    }
    if (lost > 0) {
        slot.sink->countOverrun(lost);
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
    tryRealtimePriority(kWorkerPriority);
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
    for (Slot& slot : inputs_) {
        if (slot.state != SlotState::Open) {
            continue;
        }
        std::lock_guard use(slot.useMutex);
        if (slot.state != SlotState::Open || slot.vanished) {
            continue; // closing, or gone: no callback for it again
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
        if (slot.state != SlotState::Free && !listsKey(present, slot.key)) {
            slot.vanished = true;
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
    std::optional<std::string> remote;
    std::string portName;
    try {
        remote = endpointName(key, isInput ? JackPortIsOutput : JackPortIsInput);
        portName = (isInput ? "in_" : "out_") + std::to_string(++portSerial_);
    } catch (const std::bad_alloc&) {
        return MMSYSERR_NOMEM;
    }
    if (!remote) {
        return MMSYSERR_NODRIVER;
    }
    Slot* slot = nullptr;
    if (const MMRESULT reserved = reserve(slots, key, slot); reserved != MMSYSERR_NOERROR) {
        return reserved;
    }
    // From here on the slot is this call's alone; nothing below holds mutex_.
    if (!allocateRing(*slot, isInput)) {
        release(*slot);
        return MMSYSERR_NOMEM;
    }
    slot->sink = sink;
    slot->lastEventTime = 0;
    slot->ownPort = jack_port_register(client_, portName.c_str(), JACK_DEFAULT_MIDI_TYPE,
                                       isInput ? JackPortIsInput : JackPortIsOutput, 0);
    if (slot->ownPort == nullptr) {
        release(*slot);
        return MMSYSERR_NOMEM;
    }
    if (const MMRESULT connected = connect(*slot, isInput, *remote);
        connected != MMSYSERR_NOERROR) {
        return connected;
    }
    slot->state = SlotState::Open;
    if (isInput) {
        sem_post(&wake_); // what arrived while opening is delivered now
    }
    return MMSYSERR_NOERROR;
}

MMRESULT JackBackend::reserve(Slots& slots, uint64_t key, Slot*& reserved) {
    std::lock_guard lock(mutex_);
    Slot* vacant = nullptr;
    for (Slot& slot : slots) {
        const SlotState state = slot.state;
        if (state != SlotState::Free && slot.key == key) {
            return MMSYSERR_ALLOCATED;
        }
        if (state == SlotState::Free && vacant == nullptr) {
            vacant = &slot;
        }
    }
    if (vacant == nullptr) {
        return MMSYSERR_NOMEM;
    }
    vacant->key = key;
    vacant->vanished = false;
    vacant->state = SlotState::Opening;
    reserved = vacant;
    return MMSYSERR_NOERROR;
}

bool JackBackend::allocateRing(Slot& slot, bool isInput) noexcept {
    try {
        slot.ring = rings_.make(isInput ? rings_.inputBytes : rings_.outputBytes);
        if (slot.ring != nullptr && isInput) {
            slot.received.resize(slot.ring->capacity());
        }
        return slot.ring != nullptr;
    } catch (const std::bad_alloc&) {
        slot.ring.reset();
        return false;
    }
}

MMRESULT JackBackend::connect(Slot& slot, bool isInput, const std::string& remote) {
    // The process callback serves the port from now on (an output's buffer is cleared every
    // cycle, an input's events wait in the ring); send() and the worker only once it is Open.
    slot.livePort = slot.ownPort;
    const char* own = jack_port_name(slot.ownPort);
    if (jack_connect(client_, isInput ? remote.c_str() : own, isInput ? own : remote.c_str()) !=
            0 ||
        !waitUntilConnected(slot.ownPort)) {
        retire(slot);
        return MMSYSERR_NODRIVER;
    }
    return MMSYSERR_NOERROR;
}

void JackBackend::close(Slots& slots, uint64_t key) {
    Slot* slot = nullptr;
    {
        std::lock_guard lock(mutex_);
        slot = findOpen(slots, key);
        if (slot == nullptr) {
            return;
        }
        slot->state = SlotState::Closing; // no new send or delivery reaches it
    }
    if (&slots == &outputs_) {
        deliverPending(*slot);
    }
    retire(*slot);
}

void JackBackend::deliverPending(Slot& slot) {
    // A send that found the slot Open has finished pushing once its lock is had.
    { std::lock_guard use(slot.useMutex); }
    const auto deadline = std::chrono::steady_clock::now() + kDeliverTimeout;
    while (!slot.ring->drained() && !slot.vanished && !serverGone_ &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (slot.ring->drained()) {
        // The cycle that took the last bytes ends, and with it the receivers' reading of
        // them, before the port goes.
        waitForCycles(2, deadline);
        return;
    }
    const uint64_t lost = slot.ring->recordsWaiting();
    undelivered_ += lost;
    std::fprintf(stderr, "JACK: %llu messages to a closed output could not be delivered\n",
                 static_cast<unsigned long long>(lost));
}

void JackBackend::waitForCycles(uint64_t count, std::chrono::steady_clock::time_point deadline) {
    const uint64_t cycle = cycles_;
    while (cycles_ < cycle + count && !serverGone_ && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

JackBackend::Slot* JackBackend::findOpen(Slots& slots, uint64_t key) {
    const auto found = std::find_if(slots.begin(), slots.end(), [&](const Slot& slot) {
        return slot.state == SlotState::Open && slot.key == key;
    });
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
    release(slot);
}

void JackBackend::release(Slot& slot) {
    slot.livePort = nullptr;
    if (slot.state != SlotState::Opening) {
        // A send or a delivery that found the slot Open finishes before the ring goes.
        std::lock_guard use(slot.useMutex);
    }
    slot.ring.reset();
    slot.received = {};
    slot.ownPort = nullptr;
    slot.sink = nullptr;
    std::lock_guard lock(mutex_);
    slot.key = 0;
    slot.vanished = false;
    slot.state = SlotState::Free;
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
    waitForCycles(2, deadline);
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
    // No allocation and no lock but the slot's own, which only other senders to the same
    // output and a closing of it take, and only briefly.
    for (Slot& slot : outputs_) {
        if (slot.state != SlotState::Open || slot.key != key) {
            continue;
        }
        std::lock_guard use(slot.useMutex);
        if (slot.state != SlotState::Open || slot.key != key) {
            break; // closed meanwhile
        }
        if (slot.vanished || serverGone_) {
            return MMSYSERR_NODRIVER;
        }
        if (length == 0 || slot.ring->push(0, bytes, length)) {
            return MMSYSERR_NOERROR;
        }
        return MIDIERR_NOTREADY;
    }
    return MMSYSERR_INVALHANDLE;
}

std::unique_ptr<MidiBackend> makeJackBackend() {
    return std::make_unique<JackBackend>();
}

} // namespace cvx::platform
