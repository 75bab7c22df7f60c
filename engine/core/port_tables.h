// The client's per-port records, indexed by device index 0-135 (135 is the generated-event
// port on the input side). Handles and status words are atomics: the application thread
// opens and closes while the callbacks read the tables without locking.
#pragma once

#include "core/port_map_copy.h"
#include "core/sysex_buffer.h"
#include "cvx_platform.h"

#include <atomic>
#include <cstdint>
#include <thread>

namespace cvx::mapping {
struct RouteMap;
}

namespace cvx::output {
class OutputLane;
}

namespace cvx::core {

inline constexpr uint32_t kPortCount = CVX_PORT_COUNT;
inline constexpr uint32_t kGeneratedPort = CVX_GENERATED_PORT;

struct OutputPort {
    std::atomic<HMIDIOUT> handle{nullptr}; // null = closed
    std::atomic<uint32_t> deviceIndex{0};
    std::atomic<uint32_t> lastTime{0};
    std::atomic<uint32_t> lastSource{0};
    std::atomic<uint32_t> statusBits{0};
    std::atomic<uint64_t> sendFailures{0}; // since the output was opened (CPortCounters)
    uint8_t runningStatus = 0;             // the lane's wire lock: decided and sent together
    PortMapCopy portMap;
    // Per input index; published with std::atomic_ref (release), read with acquire.
    mapping::RouteMap* routeMaps[kPortCount] = {};
    SysExBuffer* sysexBuffers = nullptr; // engine lock
    // Made at the first open of this index, kept until the client is destroyed.
    std::atomic<output::OutputLane*> lane{nullptr};
};

struct OutputPortTable {
    OutputPort ports[kPortCount];
    std::atomic<uint16_t> openCount{0};
    std::atomic<int> highestOpen{-1};
    std::atomic<int> mapperIndex{-1};
    // The thread that opens outputs: the application's. Only it sends on its own thread.
    std::atomic<std::thread::id> applicationThread{};
};

struct InputPort {
    std::atomic<HMIDIIN> handle{nullptr};
    std::atomic<uint32_t> lastTime{0};
    std::atomic<uint32_t> statusClass{0};
    // CPortCounters: the platform's overrun count of the last opening, kept at close; and
    // SysEx buffers that could not be handed to the application since the opening.
    std::atomic<uint64_t> overrunsAtClose{0};
    std::atomic<uint64_t> rejects{0};
};

// The SysEx buffers of one input, kept in a table of entries added on first use.
struct InputBufferList {
    uint32_t index = 0;
    HMIDIIN handle = nullptr;
    SysExBuffer* head = nullptr;
};

struct InputPortTable {
    InputPort ports[kPortCount];
    std::atomic<uint64_t> openBits[3] = {}; // 136 bits
    std::atomic<uint16_t> openCount{0};
    InputBufferList bufferLists[kPortCount]; // engine lock
    uint32_t bufferListCount = 0;
};

} // namespace cvx::core
