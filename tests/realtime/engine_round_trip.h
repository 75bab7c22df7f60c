// An engine client on the real clock that routes a backend's input device to its output
// device: the fixture of the allocation tests over JACK and ALSA, where a peer client of
// the backend sends into Corvex and receives what Corvex sends on.
#pragma once

#include "cvxcore.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace cvx::test {

using Bytes = std::vector<uint8_t>;

// `groups` times every kind of channel message with a clock among them, then a SysEx
// longer than one of the backends' pieces: one entry per message.
std::vector<Bytes> mixedTraffic(int groups);
size_t totalBytes(const std::vector<Bytes>& messages);

// How long a test lets the engine's timers (monitor notices, the delayed-event pump) run
// after the traffic arrived, still counting.
inline constexpr int kTimersSettleMs = 100;

class EngineRoundTrip : public testing::Test {
protected:
    // Restarts the MIDI service with the loopback cable and `backends` ("virtual,jack").
    void startEngine(const char* backends);
    void TearDown() override;

    // Opens the input and the output device named so (with SysEx buffers), routes the one
    // to the other with every message kind and starts the input. False when either is
    // missing.
    bool routeThrough(const std::string& inputName, const std::string& outputName);

    // Opens the output device named so (with SysEx buffers), routed from the generated-event
    // port only. False when it is missing.
    bool openGeneratedOutput(const std::string& outputName);

    // (Re)starts the time code and clock generators (a quarter frame every 10 ms, clocks at
    // 120 BPM) and queues a SysEx of `length` bytes for the SysEx output pump.
    void startGeneratedTraffic(uint16_t length);

    // Gives the input's SysEx buffers that the engine lent to the window back, as the
    // application does.
    void returnLentBuffers();

private:
    // The main window: keeps the lent SysEx buffers; records nothing else, so posting to
    // it allocates nothing.
    static void post(void* user, uint32_t msg, uintptr_t wParam, intptr_t lParam);

    std::array<std::atomic<uint64_t>, 64> lent_{};
    std::atomic<size_t> lentCount_{0};
    HWND window_ = nullptr;
    CFilter filter_{};
    uint64_t client_ = 0;
    bool generating_ = false;
    HMIDIIN input_ = nullptr;
    HMIDIOUT output_ = nullptr;
    bool restarted_ = false;
};

} // namespace cvx::test
