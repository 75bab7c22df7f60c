#include "alsa_backend.h"

#include "alsa_input_drain.h"
#include "alsa_message_writer.h"
#include "platform/backend_factories.h"
#include "platform/rt_priority.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>

namespace cvx::platform {
namespace {

constexpr const char* kSequencerDevice = "/dev/snd/seq";
constexpr const char* kClientName = "Corvex";
constexpr size_t kInputPoolCells = 2000;    // the most the kernel grants a client
constexpr size_t kInputBufferBytes = 65536; // the library's buffer of received events
constexpr unsigned kOwnPortType = SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION;
// Above the service's input thread, which this reader feeds.
constexpr int kReaderPriority = 50;
// Events handled per wake-up before the reader looks at its wake-up descriptor again, so
// that a flood of input cannot hold off stop().
constexpr int kEventsPerWake = 256;

MMRESULT subscribeResult(int rc) {
    if (rc >= 0) {
        return MMSYSERR_NOERROR;
    }
    if (rc == -EBUSY) {
        return MMSYSERR_ALLOCATED;
    }
    return rc == -ENOENT || rc == -EINVAL || rc == -ENXIO ? MMSYSERR_NODRIVER : MMSYSERR_ERROR;
}

// Whether poll() reported the sequencer's descriptors (all but the last, the wake-up) as
// broken: then nothing more will come, and polling again would return at once for ever.
bool sequencerGone(const std::vector<pollfd>& fds) {
    return std::any_of(fds.begin(), fds.end() - 1, [](const pollfd& fd) {
        return (fd.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0;
    });
}

} // namespace

AlsaBackend::~AlsaBackend() {
    stop();
}

bool AlsaBackend::start(BackendHost& host) {
    // Checked first because the library reports a missing device on stderr.
    if (seq_ != nullptr || access(kSequencerDevice, R_OK | W_OK) != 0) {
        return false;
    }
    // Non-blocking: a full destination fails a send instead of holding up the sender, and
    // the reader drains without ever sleeping in a read.
    if (snd_seq_open(&seq_, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK) < 0) {
        seq_ = nullptr;
        return false;
    }
    snd_seq_set_client_name(seq_, kClientName);
    // Room for large SysEx events of software clients; a smaller limit is kept if refused.
    snd_seq_set_client_pool_input(seq_, kInputPoolCells);
    snd_seq_set_input_buffer_size(seq_, kInputBufferBytes);
    ownClient_ = snd_seq_client_id(seq_);
    announcePort_ = createOwnPort(SND_SEQ_PORT_CAP_WRITE, "Announcements");
    wakeFd_ = eventfd(0, EFD_CLOEXEC);
    if (announcePort_ < 0 || wakeFd_ < 0 ||
        snd_seq_connect_from(seq_, announcePort_, SND_SEQ_CLIENT_SYSTEM,
                             SND_SEQ_PORT_SYSTEM_ANNOUNCE) < 0) {
        closeSequencer();
        return false;
    }
    host_ = &host;
    reader_ = std::thread(&AlsaBackend::readEvents, this);
    return true;
}

void AlsaBackend::stop() {
    if (seq_ == nullptr) {
        return;
    }
    const uint64_t wake = 1;
    [[maybe_unused]] const ssize_t written = write(wakeFd_, &wake, sizeof wake);
    reader_.join();
    {
        std::lock_guard lock(sinksMutex_);
        sinksByOwnPort_.clear();
    }
    closeSequencer();
}

void AlsaBackend::closeSequencer() {
    if (wakeFd_ >= 0) {
        close(wakeFd_);
        wakeFd_ = -1;
    }
    snd_seq_close(seq_); // deletes our ports and with them every subscription
    seq_ = nullptr;
    host_ = nullptr;
    std::lock_guard lock(tablesMutex_);
    inputs_.clear();
    outputs_.clear();
    outputOverruns_.clear();
}

std::vector<EndpointInfo> AlsaBackend::inputs() {
    return endpoints(isAlsaInputDevice);
}

std::vector<EndpointInfo> AlsaBackend::outputs() {
    return endpoints(isAlsaOutputDevice);
}

std::vector<AlsaPortFacts> AlsaBackend::foreignPorts() {
    snd_seq_client_info_t* clientInfo = nullptr;
    snd_seq_port_info_t* portInfo = nullptr;
    snd_seq_client_info_alloca(&clientInfo);
    snd_seq_port_info_alloca(&portInfo);
    std::vector<AlsaPortFacts> ports;
    snd_seq_client_info_set_client(clientInfo, -1);
    while (snd_seq_query_next_client(seq_, clientInfo) >= 0) {
        const int client = snd_seq_client_info_get_client(clientInfo);
        snd_seq_port_info_set_client(portInfo, client);
        snd_seq_port_info_set_port(portInfo, -1);
        while (snd_seq_query_next_port(seq_, portInfo) >= 0) {
            ports.push_back({client, snd_seq_port_info_get_port(portInfo),
                             snd_seq_port_info_get_capability(portInfo),
                             snd_seq_client_info_get_name(clientInfo),
                             snd_seq_port_info_get_name(portInfo)});
        }
    }
    return ports;
}

std::vector<EndpointInfo> AlsaBackend::endpoints(DeviceTest isDevice) {
    std::vector<EndpointInfo> found;
    if (seq_ == nullptr) {
        return found;
    }
    const std::vector<AlsaPortFacts> ports = foreignPorts();
    std::lock_guard lock(tablesMutex_);
    for (const AlsaPortFacts& port : ports) {
        if (isDevice(port, ownClient_)) {
            found.push_back({keys_.keyOf(port.client, port.port), alsaDeviceName(port)});
        }
    }
    return found;
}

std::optional<std::string> AlsaBackend::endpointName(uint64_t key, DeviceTest isDevice) {
    for (const EndpointInfo& endpoint : endpoints(isDevice)) {
        if (endpoint.key == key) {
            return endpoint.name;
        }
    }
    return std::nullopt;
}

int AlsaBackend::createOwnPort(unsigned capability, const std::string& portName) {
    // Only this client may connect its own ports: no subscription capabilities.
    return snd_seq_create_simple_port(seq_, portName.c_str(), capability, kOwnPortType);
}

MMRESULT AlsaBackend::reserve(ConnectionTable& table, uint64_t key) {
    std::lock_guard lock(tablesMutex_);
    return table.try_emplace(key).second ? MMSYSERR_NOERROR : MMSYSERR_ALLOCATED;
}

void AlsaBackend::release(ConnectionTable& table, uint64_t key) {
    std::lock_guard lock(tablesMutex_);
    table.erase(key);
}

std::optional<AlsaBackend::Connection> AlsaBackend::take(ConnectionTable& table, uint64_t key) {
    std::lock_guard lock(tablesMutex_);
    const auto found = table.find(key);
    if (found == table.end()) {
        return std::nullopt;
    }
    const Connection connection = found->second;
    table.erase(found);
    return connection;
}

MMRESULT AlsaBackend::openInput(uint64_t key, InputSink& sink) {
    const std::optional<std::string> endpoint = endpointName(key, isAlsaInputDevice);
    if (!endpoint) {
        return MMSYSERR_NODRIVER;
    }
    if (const MMRESULT reserved = reserve(inputs_, key); reserved != MMSYSERR_NOERROR) {
        return reserved;
    }
    const int ownPort = createOwnPort(SND_SEQ_PORT_CAP_WRITE, "In from " + *endpoint);
    if (ownPort < 0) {
        release(inputs_, key);
        return MMSYSERR_NOMEM;
    }
    {
        std::lock_guard lock(sinksMutex_);
        sinksByOwnPort_[ownPort] = &sink;
    }
    const MMRESULT subscribed = subscribeResult(snd_seq_connect_from(
        seq_, ownPort, AlsaEndpointKeys::clientOf(key), AlsaEndpointKeys::portOf(key)));
    if (subscribed != MMSYSERR_NOERROR) {
        {
            std::lock_guard lock(sinksMutex_);
            sinksByOwnPort_.erase(ownPort);
        }
        snd_seq_delete_simple_port(seq_, ownPort);
        release(inputs_, key);
        return subscribed;
    }
    std::lock_guard lock(tablesMutex_);
    inputs_[key].ownPort = ownPort;
    return MMSYSERR_NOERROR;
}

void AlsaBackend::closeInput(uint64_t key) {
    const std::optional<Connection> connection = take(inputs_, key);
    if (!connection) {
        return;
    }
    {
        std::lock_guard lock(sinksMutex_);
        sinksByOwnPort_.erase(connection->ownPort);
    }
    if (!connection->vanished) {
        snd_seq_disconnect_from(seq_, connection->ownPort, AlsaEndpointKeys::clientOf(key),
                                AlsaEndpointKeys::portOf(key));
    }
    snd_seq_delete_simple_port(seq_, connection->ownPort);
}

MMRESULT AlsaBackend::openOutput(uint64_t key) {
    const std::optional<std::string> endpoint = endpointName(key, isAlsaOutputDevice);
    if (!endpoint) {
        return MMSYSERR_NODRIVER;
    }
    if (const MMRESULT reserved = reserve(outputs_, key); reserved != MMSYSERR_NOERROR) {
        return reserved;
    }
    const int ownPort = createOwnPort(SND_SEQ_PORT_CAP_READ, "Out to " + *endpoint);
    if (ownPort < 0) {
        release(outputs_, key);
        return MMSYSERR_NOMEM;
    }
    const MMRESULT subscribed = subscribeResult(snd_seq_connect_to(
        seq_, ownPort, AlsaEndpointKeys::clientOf(key), AlsaEndpointKeys::portOf(key)));
    if (subscribed != MMSYSERR_NOERROR) {
        snd_seq_delete_simple_port(seq_, ownPort);
        release(outputs_, key);
        return subscribed;
    }
    std::lock_guard lock(tablesMutex_);
    outputs_[key].ownPort = ownPort;
    if (!outputOverruns_.contains(key)) {
        outputOverruns_.emplace(key, std::make_unique<OverrunCounter>(0));
    }
    return MMSYSERR_NOERROR;
}

void AlsaBackend::closeOutput(uint64_t key) {
    // Nothing sent waits here: each send went to the sequencer directly and was drained
    // before it returned, so removing the port loses none of it.
    const std::optional<Connection> connection = take(outputs_, key);
    if (!connection) {
        return;
    }
    if (!connection->vanished) {
        snd_seq_disconnect_to(seq_, connection->ownPort, AlsaEndpointKeys::clientOf(key),
                              AlsaEndpointKeys::portOf(key));
    }
    snd_seq_delete_simple_port(seq_, connection->ownPort);
}

MMRESULT AlsaBackend::send(uint64_t key, const uint8_t* bytes, size_t length) {
    int ownPort = -1;
    OverrunCounter* overruns = nullptr;
    {
        std::lock_guard lock(tablesMutex_);
        const auto found = outputs_.find(key);
        if (found == outputs_.end() || found->second.ownPort < 0) {
            return MMSYSERR_INVALHANDLE;
        }
        if (found->second.vanished) {
            return MMSYSERR_NODRIVER;
        }
        ownPort = found->second.ownPort;
        overruns = outputOverruns_.at(key).get();
    }
    const AlsaWriteOutcome outcome = writeAlsaMessage(
        {bytes, length}, [&](snd_seq_event_t& event) { return writeEvent(event, ownPort); });
    if (outcome == AlsaWriteOutcome::Overrun) {
        overruns->fetch_add(1, std::memory_order_relaxed);
    }
    return alsaWriteResult(outcome);
}

uint64_t AlsaBackend::outputOverruns(uint64_t key) {
    std::lock_guard lock(tablesMutex_);
    const auto found = outputOverruns_.find(key);
    return found == outputOverruns_.end() ? 0 : found->second->load(std::memory_order_relaxed);
}

int AlsaBackend::writeEvent(snd_seq_event_t& event, int ownPort) {
    snd_seq_ev_set_source(&event, ownPort);
    snd_seq_ev_set_subs(&event);
    snd_seq_ev_set_direct(&event);
    // Through the library's output buffer, made when the sequencer was opened: its direct
    // path copies each SysEx event into a buffer it reallocates per event.
    std::lock_guard lock(sendMutex_);
    int result = snd_seq_event_output_buffer(seq_, &event);
    if (result >= 0) {
        result = snd_seq_drain_output(seq_);
    }
    if (result != 0) {
        snd_seq_drop_output_buffer(seq_); // not taken now: not sent later either
    }
    return result > 0 ? -EAGAIN : result;
}

void AlsaBackend::readEvents() {
    tryRealtimePriority(kReaderPriority);
    const int count = snd_seq_poll_descriptors_count(seq_, POLLIN);
    std::vector<pollfd> fds(static_cast<size_t>(count) + 1);
    snd_seq_poll_descriptors(seq_, fds.data(), static_cast<unsigned>(count), POLLIN);
    fds.back() = {wakeFd_, POLLIN, 0};
    for (;;) {
        if (poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR) {
            return;
        }
        if ((fds.back().revents & POLLIN) != 0 || sequencerGone(fds)) {
            return;
        }
        drainEvents();
    }
}

void AlsaBackend::drainEvents() {
    bool changed = false;
    // The library fetches many events per read into its buffer and hands them out one at
    // a time.
    drainAlsaInput(
        kEventsPerWake, [&](snd_seq_event_t** event) { return snd_seq_event_input(seq_, event); },
        [&](const snd_seq_event_t& event) {
            if (event.dest.port == announcePort_) {
                changed = noteAnnouncement(event) || changed;
            } else {
                deliver(event);
            }
        },
        [&] { countInputOverrun(); });
    if (changed) {
        host_->endpointsChanged();
    }
}

void AlsaBackend::deliver(const snd_seq_event_t& event) {
    AlsaWireScratch scratch;
    const std::span<const uint8_t> bytes = alsaEventToWire(event, scratch);
    if (bytes.empty()) {
        return;
    }
    const uint32_t arrivalMs = timeGetTime();
    std::lock_guard lock(sinksMutex_);
    if (const auto sink = sinksByOwnPort_.find(event.dest.port); sink != sinksByOwnPort_.end()) {
        sink->second->receive(bytes.data(), bytes.size(), arrivalMs);
    }
}

void AlsaBackend::countInputOverrun() {
    std::lock_guard lock(sinksMutex_);
    for (const auto& [ownPort, sink] : sinksByOwnPort_) {
        sink->countOverrun(1);
    }
}

bool AlsaBackend::noteAnnouncement(const snd_seq_event_t& event) {
    const snd_seq_addr_t& address = event.data.addr;
    if (address.client == ownClient_) {
        return false;
    }
    std::lock_guard lock(tablesMutex_);
    switch (event.type) {
    case SND_SEQ_EVENT_CLIENT_EXIT:
        keys_.clientExited(address.client);
        markVanished(address.client, std::nullopt);
        return true;
    case SND_SEQ_EVENT_PORT_EXIT:
        keys_.portExited(address.client, address.port);
        markVanished(address.client, address.port);
        return true;
    case SND_SEQ_EVENT_CLIENT_START:
    case SND_SEQ_EVENT_CLIENT_CHANGE:
    case SND_SEQ_EVENT_PORT_START:
    case SND_SEQ_EVENT_PORT_CHANGE:
        return true;
    default:
        return false;
    }
}

void AlsaBackend::markVanished(int client, std::optional<int> port) {
    for (auto* table : {&inputs_, &outputs_}) {
        for (auto& [key, connection] : *table) {
            if (AlsaEndpointKeys::clientOf(key) == client &&
                (!port || AlsaEndpointKeys::portOf(key) == *port)) {
                connection.vanished = true;
            }
        }
    }
}

std::unique_ptr<MidiBackend> makeAlsaBackend() {
    return std::make_unique<AlsaBackend>();
}

} // namespace cvx::platform
