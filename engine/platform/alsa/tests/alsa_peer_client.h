// Another sequencer client for the tests: "cvxpeer" with one port "peer" that can be read
// from and written to, so the backend sees it as both an input and an output
// ("cvxpeer:peer"). Non-blocking; what arrives is read on the test's thread.
#pragma once

#include <alsa/asoundlib.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace cvx::platform {

class AlsaPeerClient {
public:
    static constexpr const char* kEndpointName = "cvxpeer:peer";

    AlsaPeerClient();
    ~AlsaPeerClient();
    AlsaPeerClient(const AlsaPeerClient&) = delete;
    AlsaPeerClient& operator=(const AlsaPeerClient&) = delete;

    void createPort();
    void deletePort();
    // Room for `cells` incoming events until the peer reads.
    void setInputPool(size_t cells);

    // Sends the event to the port's subscribers at once.
    void sendToSubscribers(snd_seq_event_t& event);
    // Sends wire bytes: one short message, or SysEx in pieces.
    void send(const std::vector<uint8_t>& bytes);

    // Wire bytes of the events that arrive until `count` bytes are in or 10 s pass.
    std::vector<uint8_t> receive(size_t count);

private:
    snd_seq_t* seq_ = nullptr;
    int port_ = -1;
};

} // namespace cvx::platform
