#include "probe_clients.h"

#include "probe_message.h"

#include <jack/midiport.h>
#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <thread>

namespace cvx::bench {
namespace {

constexpr const char* kSenderName = "cvxbench_send";
constexpr const char* kReceiverName = "cvxbench_recv";
constexpr auto kPoll = std::chrono::milliseconds(5);
constexpr auto kStalled = std::chrono::seconds(10);

jack_client_t* openClient(const char* name) {
    jack_status_t status{};
    return jack_client_open(name, static_cast<jack_options_t>(JackNoStartServer | JackUseExactName),
                            &status);
}

} // namespace

std::string ProbeClients::open() {
    sender_ = openClient(kSenderName);
    receiver_ = openClient(kReceiverName);
    if (sender_ == nullptr || receiver_ == nullptr) {
        close();
        return "cannot open the benchmark's JACK clients";
    }
    out_ = jack_port_register(sender_, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    in_ = jack_port_register(receiver_, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    if (out_ == nullptr || in_ == nullptr ||
        jack_set_process_callback(sender_, onSend, this) != 0 ||
        jack_set_process_callback(receiver_, onReceive, this) != 0 || jack_activate(sender_) != 0 ||
        jack_activate(receiver_) != 0) {
        close();
        return "cannot register and activate the benchmark's JACK ports";
    }
    return {};
}

void ProbeClients::close() {
    for (jack_client_t** client : {&sender_, &receiver_}) {
        if (*client != nullptr) {
            jack_deactivate(*client);
            jack_client_close(*client);
            *client = nullptr;
        }
    }
    out_ = nullptr;
    in_ = nullptr;
}

std::string ProbeClients::senderPort() const {
    return jack_port_name(out_);
}

std::string ProbeClients::receiverPort() const {
    return jack_port_name(in_);
}

jack_nframes_t ProbeClients::rate() const {
    return jack_get_sample_rate(sender_);
}

jack_nframes_t ProbeClients::period() const {
    return jack_get_buffer_size(sender_);
}

// ---- Process callbacks: no allocation, no locks ------------------------------------------

int ProbeClients::onSend(jack_nframes_t frames, void* self) {
    static_cast<ProbeClients*>(self)->send(frames);
    return 0;
}

int ProbeClients::onReceive(jack_nframes_t frames, void* self) {
    static_cast<ProbeClients*>(self)->receive(frames);
    return 0;
}

void ProbeClients::send(jack_nframes_t frames) {
    void* buffer = jack_port_get_buffer(out_, frames);
    jack_midi_clear_buffer(buffer);
    if (!armed_.load(std::memory_order_acquire)) {
        return;
    }
    // The sender runs first in every cycle: its start is the cycle's.
    const jack_time_t now = jack_get_time();
    const size_t cycle = cycles_.load(std::memory_order_relaxed);
    if (cycle < cycleUs_.size()) {
        cycleUs_[cycle] = now;
        cycles_.store(cycle + 1, std::memory_order_release);
    }
    const size_t k = sent_.load(std::memory_order_relaxed);
    if (senderCycle_++ % spacing_ != 0 || k >= count_) {
        return;
    }
    jack_midi_data_t* bytes = jack_midi_event_reserve(buffer, 0, 3);
    if (bytes == nullptr) {
        return;
    }
    encodeProbe(k, bytes);
    sendFrame_[k] = jack_last_frame_time(sender_);
    sendUs_[k] = now;
    sent_.store(k + 1, std::memory_order_release);
    for (WakeProbe* probe : wakeProbes_) {
        if (probe != nullptr) {
            probe->post(k, sendUs_[k]);
        }
    }
}

void ProbeClients::receive(jack_nframes_t frames) {
    if (receiverCycles_.load(std::memory_order_relaxed) == 0) {
        notePriority();
    }
    if (armed_.load(std::memory_order_acquire)) {
        const jack_time_t now = jack_get_time();
        const jack_nframes_t cycleFrame = jack_last_frame_time(receiver_);
        void* buffer = jack_port_get_buffer(in_, frames);
        const uint32_t events = jack_midi_get_event_count(buffer);
        for (uint32_t i = 0; i < events; ++i) {
            jack_midi_event_t event;
            if (jack_midi_event_get(&event, buffer, i) != 0 || event.size != 3) {
                continue;
            }
            const std::optional<size_t> number =
                decodeProbe(event.buffer[0], event.buffer[1], event.buffer[2]);
            const size_t k = number.value_or(count_);
            if (k < count_ && arriveStatus_[k] == 0) {
                arriveFrame_[k] = cycleFrame + event.time;
                arriveUs_[k] = now;
                arriveStatus_[k] = event.buffer[0];
                received_.fetch_add(1, std::memory_order_release);
            }
        }
    }
    receiverCycles_.fetch_add(1, std::memory_order_release);
}

void ProbeClients::notePriority() {
    int policy = 0;
    sched_param param{};
    pthread_getschedparam(pthread_self(), &policy, &param);
    realtime_.store(policy == SCHED_FIFO || policy == SCHED_RR);
}

// ---- Control ------------------------------------------------------------------------------

void ProbeClients::waitCycles(uint64_t cycles) const {
    const uint64_t until = receiverCycles_.load() + cycles;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (receiverCycles_.load() < until && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

ProbeRun ProbeClients::run(size_t count, unsigned spacing, std::chrono::milliseconds grace,
                           const std::atomic<bool>& cancel,
                           const std::function<void()>& whileWaiting) {
    count_ = std::min(count, kMaxMessages);
    spacing_ = std::max(spacing, 1u);
    senderCycle_ = 0;
    sent_ = 0;
    received_ = 0;
    cycles_ = 0;
    sendFrame_.assign(count_, 0);
    sendUs_.assign(count_, 0);
    arriveFrame_.assign(count_, 0);
    arriveUs_.assign(count_, 0);
    arriveStatus_.assign(count_, 0);
    // Room for every cycle of the run and of the grace period (at up to 10 kHz cycles).
    cycleUs_.assign(count_ * spacing_ + static_cast<size_t>(grace.count()) * 10 + 64, 0);

    armed_.store(true, std::memory_order_release);
    auto lastSent = std::chrono::steady_clock::now();
    size_t sentSeen = 0;
    while (!cancel.load()) {
        const size_t sent = sent_.load(std::memory_order_acquire);
        if (sent != sentSeen) {
            sentSeen = sent;
            lastSent = std::chrono::steady_clock::now();
        }
        const bool allSent = sent == count_;
        const auto quiet = std::chrono::steady_clock::now() - lastSent;
        // A server whose cycles stopped sends nothing more: the run ends empty.
        if (quiet > kStalled) {
            armed_.store(false, std::memory_order_release);
            return {};
        }
        if (allSent && (received_.load(std::memory_order_acquire) == count_ || quiet > grace)) {
            break;
        }
        whileWaiting();
        std::this_thread::sleep_for(kPoll);
    }
    armed_.store(false, std::memory_order_release);
    waitCycles(2); // a callback that saw armed_ has finished writing

    ProbeRun result;
    result.sent = sent_.load(std::memory_order_acquire);
    result.cycleUs.assign(cycleUs_.begin(),
                          cycleUs_.begin() + static_cast<ptrdiff_t>(cycles_.load()));
    result.arrived.assign(result.sent, false);
    result.status.assign(arriveStatus_.begin(),
                         arriveStatus_.begin() + static_cast<ptrdiff_t>(result.sent));
    result.sendUs.assign(sendUs_.begin(), sendUs_.begin() + static_cast<ptrdiff_t>(result.sent));
    result.latencyFrames.assign(result.sent, 0);
    result.latencyUs.assign(result.sent, 0);
    for (size_t k = 0; k < result.sent; ++k) {
        if (arriveStatus_[k] == 0) {
            continue;
        }
        result.arrived[k] = true;
        // Frame times wrap at 2^32; the difference of two nearby ones does not.
        result.latencyFrames[k] = static_cast<int32_t>(arriveFrame_[k] - sendFrame_[k]);
        result.latencyUs[k] = static_cast<int64_t>(arriveUs_[k] - sendUs_[k]);
    }
    return result;
}

} // namespace cvx::bench
