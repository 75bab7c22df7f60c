// The engine set up as the throughput benchmark measures it: one client with the
// performance filter, input 0 ("Corvex Loopback 1") open, outputs 1 and 2 open and routed
// from it with monitor records, and optionally the 32-item performance map as global map.
// Everything runs on the loopback cables; call from one thread.
#pragma once

#include "cvx_platform.h"

#include <cstdint>
#include <vector>

namespace cvx::bench {

// What came out of the engine: monitor records in the main queue and messages that reached
// the two outputs' cables.
struct Arrivals {
    uint64_t monitorRecords = 0;
    uint64_t outputMessages[2] = {0, 0};
};

// Counts the messages in bytes taken from a cable: one per status byte (running status is
// off, so every message carries one); an F7 ends a SysEx message and starts none.
uint64_t countWireMessages(const uint8_t* bytes, size_t length);

class ThroughputRig {
public:
    // With `mapped`, the performance map is the client's global map; else there is none.
    explicit ThroughputRig(bool mapped);
    ~ThroughputRig();
    ThroughputRig(const ThroughputRig&) = delete;
    ThroughputRig& operator=(const ThroughputRig&) = delete;

    // The engine's input callback for input 0, called directly on this thread: the path a
    // message takes once the MIDI service has parsed it, without the service's thread hop.
    void inject(uint32_t message, uint32_t timestamp);
    // Starts input 0, so bytes fed to its cable flow through the service to the engine.
    void startInput();
    // Empties the main queue and both outputs' cables, adding what was there to `arrivals`.
    void drain(Arrivals& arrivals);

private:
    uint64_t client_ = 0;
    void* engineClient_ = nullptr; // the client record the input callback is given
    HMIDIIN input_ = nullptr;
    HMIDIOUT outputs_[2] = {nullptr, nullptr};
    std::vector<uint8_t> takeBuffer_;
};

} // namespace cvx::bench
