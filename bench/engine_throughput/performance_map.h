// The workload the engine benchmarks share: a realistic 32-item data map (keyboard splits
// and layers, velocity curves, controller renumbering and scaling, NRPN input and output,
// transport remapping, a SysEx trigger and a few discards), its SysEx pool, and a mix of
// performance messages to feed it.
#pragma once

#include "cvx_records.h"

#include <cstdint>
#include <vector>

namespace cvx::bench {

// The items and SysEx pool of the map; `mapper()` points into them, so keep this alive
// while the SMapper is in use.
struct PerformanceMap {
    std::vector<MapItem> items;
    std::vector<uint8_t> pool;

    PerformanceMap();
    SMapper mapper();
};

// A short message packed as the engine carries it: status, data 1, data 2.
constexpr uint32_t shortMessage(uint8_t status, uint8_t data1, uint8_t data2) {
    return status | uint32_t{data1} << 8 | uint32_t{data2} << 16;
}

// Mostly notes and controllers, some bend, pressure, program changes, clock, and an NRPN
// edit: 47 messages, repeated by the benchmarks.
std::vector<uint32_t> performanceMix();

// The filter the benchmarks run with: channel 10, key pressure, controller 7, clock and
// active sensing hidden (display only: hidden messages are still routed).
CFilter performanceFilter();

// The bytes of short messages as they travel on a cable: 1, 2 or 3 bytes each.
void appendWireBytes(uint32_t message, std::vector<uint8_t>& bytes);

} // namespace cvx::bench
