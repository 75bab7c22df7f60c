// Another JACK client for the tests: "cvxpeer" with one MIDI output port "out" and one MIDI
// input port "in". What is sent goes out at the next cycle; what arrives is kept in order.
#pragma once

#include "platform/jack/jack_midi_ring.h"

#include <jack/jack.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

namespace cvx::platform {

class JackPeerClient {
public:
    static constexpr const char* kOutName = "cvxpeer:out";
    static constexpr const char* kInName = "cvxpeer:in";

    // Check opened() afterwards: false when no server answered.
    JackPeerClient();
    ~JackPeerClient();
    JackPeerClient(const JackPeerClient&) = delete;
    JackPeerClient& operator=(const JackPeerClient&) = delete;

    bool opened() const { return client_ != nullptr; }

    // One event for the output port.
    bool send(const std::vector<uint8_t>& bytes);
    // Every byte that arrived at the input port so far.
    std::vector<uint8_t> received();

    void unregisterOut();
    void registerOut();

private:
    static int onProcess(jack_nframes_t frames, void* self);
    void playOut(jack_nframes_t frames);
    void captureIn(jack_nframes_t frames);

    jack_client_t* client_ = nullptr;
    std::atomic<jack_port_t*> out_{nullptr};
    jack_port_t* in_ = nullptr;
    std::atomic<uint64_t> cycles_{0};
    JackMidiRing outgoing_{64 * 1024};
    JackMidiRing incoming_{64 * 1024};
    std::mutex receivedMutex_;
    std::vector<uint8_t> received_;
};

} // namespace cvx::platform
