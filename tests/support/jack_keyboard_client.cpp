#include "support/jack_keyboard_client.h"

#include <jack/midiport.h>

#include <chrono>
#include <thread>

namespace cvx::platform {

JackKeyboardClient::JackKeyboardClient() {
    for (int attempt = 0; client_ == nullptr && attempt < 5; ++attempt) {
        jack_status_t status{};
        client_ = jack_client_open("cvxkeys", JackNoStartServer, &status);
        if (client_ == nullptr) {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
    }
    if (client_ != nullptr) {
        plugIn();
        jack_set_process_callback(client_, &JackKeyboardClient::process, this);
        jack_activate(client_);
    }
}

JackKeyboardClient::~JackKeyboardClient() {
    if (client_ != nullptr) {
        jack_deactivate(client_);
        jack_client_close(client_);
    }
}

void JackKeyboardClient::plugIn() {
    port_.store(jack_port_register(client_, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0));
}

void JackKeyboardClient::unplug() {
    jack_port_t* port = port_.exchange(nullptr);
    // Two cycles later no cycle still holds the port.
    const uint64_t cycle = cycles_.load();
    while (cycles_.load() < cycle + 2) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    jack_port_unregister(client_, port);
}

int JackKeyboardClient::process(jack_nframes_t frames, void* self) {
    auto* keyboard = static_cast<JackKeyboardClient*>(self);
    if (jack_port_t* port = keyboard->port_.load()) {
        void* buffer = jack_port_get_buffer(port, frames);
        jack_midi_clear_buffer(buffer);
        if (const uint8_t status = keyboard->pending_.exchange(0); status != 0) {
            const jack_midi_data_t note[] = {status, 0x3C, 0x64};
            jack_midi_event_write(buffer, 0, note, sizeof note);
        }
    }
    keyboard->cycles_.fetch_add(1);
    return 0;
}

} // namespace cvx::platform
