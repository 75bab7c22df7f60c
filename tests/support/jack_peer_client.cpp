#include "support/jack_peer_client.h"

#include <jack/midiport.h>

#include <chrono>
#include <thread>

namespace cvx::platform {

JackPeerClient::JackPeerClient() {
    // A server that has just come up now and then fails an opening half way.
    for (int attempt = 0; client_ == nullptr && attempt < 5; ++attempt) {
        jack_status_t status{};
        client_ = jack_client_open("cvxpeer", JackNoStartServer, &status);
        if (client_ == nullptr) {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
    }
    if (client_ == nullptr) {
        return;
    }
    in_ = jack_port_register(client_, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    registerOut();
    jack_set_process_callback(client_, onProcess, this);
    jack_activate(client_);
}

JackPeerClient::~JackPeerClient() {
    if (client_ != nullptr) {
        jack_deactivate(client_);
        jack_client_close(client_);
    }
}

bool JackPeerClient::send(const std::vector<uint8_t>& bytes) {
    return outgoing_.push(0, bytes.data(), bytes.size());
}

std::vector<uint8_t> JackPeerClient::received() {
    std::lock_guard lock(receivedMutex_);
    std::vector<uint8_t> record(incoming_.capacity());
    uint64_t time = 0;
    while (const size_t length = incoming_.pop(record.data(), time)) {
        received_.insert(received_.end(), record.begin(), record.begin() + long(length));
    }
    return received_;
}

void JackPeerClient::unregisterOut() {
    jack_port_t* port = out_.exchange(nullptr);
    // Two cycle ends later no cycle can still be using the port.
    const uint64_t cycle = cycles_;
    while (cycles_ < cycle + 2) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    jack_port_unregister(client_, port);
}

void JackPeerClient::registerOut() {
    out_ = jack_port_register(client_, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
}

int JackPeerClient::onProcess(jack_nframes_t frames, void* self) {
    auto* peer = static_cast<JackPeerClient*>(self);
    peer->playOut(frames);
    peer->captureIn(frames);
    ++peer->cycles_;
    return 0;
}

void JackPeerClient::playOut(jack_nframes_t frames) {
    jack_port_t* port = out_.load();
    if (port == nullptr) {
        return;
    }
    void* buffer = jack_port_get_buffer(port, frames);
    jack_midi_clear_buffer(buffer);
    while (const size_t length = outgoing_.pendingBytes()) {
        jack_midi_data_t* event = jack_midi_event_reserve(buffer, 0, length);
        if (event == nullptr) {
            return;
        }
        outgoing_.read(event, length);
    }
}

void JackPeerClient::captureIn(jack_nframes_t frames) {
    void* buffer = jack_port_get_buffer(in_, frames);
    const uint32_t count = jack_midi_get_event_count(buffer);
    for (uint32_t index = 0; index < count; ++index) {
        jack_midi_event_t event;
        if (jack_midi_event_get(&event, buffer, index) == 0) {
            incoming_.push(0, event.buffer, event.size);
        }
    }
}

} // namespace cvx::platform
