#include "alsa_peer_client.h"

#include "backend_test_doubles.h"
#include "platform/alsa/alsa_message_writer.h"

namespace cvx::platform {

AlsaPeerClient::AlsaPeerClient() {
    snd_seq_open(&seq_, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK);
    snd_seq_set_client_name(seq_, "cvxpeer");
    createPort();
}

AlsaPeerClient::~AlsaPeerClient() {
    snd_seq_close(seq_);
}

void AlsaPeerClient::createPort() {
    port_ =
        snd_seq_create_simple_port(seq_, "peer",
                                   SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ |
                                       SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE,
                                   SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
}

void AlsaPeerClient::deletePort() {
    snd_seq_delete_simple_port(seq_, port_);
}

void AlsaPeerClient::setInputPool(size_t cells) {
    snd_seq_set_client_pool_input(seq_, cells);
}

void AlsaPeerClient::sendToSubscribers(snd_seq_event_t& event) {
    snd_seq_ev_set_source(&event, port_);
    snd_seq_ev_set_subs(&event);
    snd_seq_ev_set_direct(&event);
    snd_seq_event_output_direct(seq_, &event);
}

void AlsaPeerClient::send(const std::vector<uint8_t>& bytes) {
    writeAlsaMessage(bytes, [&](snd_seq_event_t& event) {
        sendToSubscribers(event);
        return 0;
    });
}

std::vector<uint8_t> AlsaPeerClient::receive(size_t count) {
    std::vector<uint8_t> bytes;
    eventually([&] {
        snd_seq_event_t* event = nullptr;
        while (snd_seq_event_input(seq_, &event) >= 0 && event != nullptr) {
            AlsaWireScratch scratch;
            const std::span<const uint8_t> wire = alsaEventToWire(*event, scratch);
            bytes.insert(bytes.end(), wire.begin(), wire.end());
        }
        return bytes.size() >= count;
    });
    return bytes;
}

} // namespace cvx::platform
