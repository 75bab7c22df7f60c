// Another JACK client for the tests: "cvxkeys" with one MIDI output port "out" that can be
// unplugged and plugged in again, sending one three-byte Note On when asked.
#pragma once

#include <jack/jack.h>

#include <atomic>
#include <cstdint>

namespace cvx::platform {

class JackKeyboardClient {
public:
    static constexpr const char* kOutName = "cvxkeys:out";

    // Check opened() afterwards: false when no server answered (after a few tries).
    JackKeyboardClient();
    ~JackKeyboardClient();
    JackKeyboardClient(const JackKeyboardClient&) = delete;
    JackKeyboardClient& operator=(const JackKeyboardClient&) = delete;

    bool opened() const { return client_ != nullptr; }
    void plugIn();
    // Returns once no cycle uses the port any more.
    void unplug();
    // A Note On with `status` goes out at the next cycle.
    void playNote(uint8_t status = 0x90) { pending_.store(status); }

private:
    static int process(jack_nframes_t frames, void* self);

    jack_client_t* client_ = nullptr;
    std::atomic<jack_port_t*> port_{nullptr};
    std::atomic<uint8_t> pending_{0};
    std::atomic<uint64_t> cycles_{0};
};

} // namespace cvx::platform
