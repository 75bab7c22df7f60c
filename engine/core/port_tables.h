// The client's per-port records, indexed by device index 0-135 (135 is the generated-event
// port on the input side).
#pragma once

#include "cvx_platform.h"

#include <atomic>
#include <cstdint>

namespace cvx::core {

inline constexpr uint32_t kPortCount = 136;

struct OutputPort {
    std::atomic<HMIDIOUT> handle{nullptr}; // null = closed
    uint32_t deviceIndex = 0;
    std::atomic<uint32_t> lastTime{0};
    std::atomic<uint32_t> lastSource{0};
    std::atomic<uint32_t> statusBits{0};
    uint8_t runningStatus = 0;
};

struct OutputPortTable {
    OutputPort ports[kPortCount];
    uint16_t openCount = 0;
    int highestOpen = -1;
    int mapperIndex = -1;
};

struct InputPort {
    std::atomic<HMIDIIN> handle{nullptr};
    std::atomic<uint32_t> lastTime{0};
    std::atomic<uint32_t> statusClass{0};
};

struct InputPortTable {
    InputPort ports[kPortCount];
    uint64_t openBits[3] = {0, 0, 0}; // 136 bits
    uint16_t openCount = 0;
};

} // namespace cvx::core
