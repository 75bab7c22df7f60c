// The traffic of the stress test and what each output must receive of it.
//
// Three feeding inputs use disjoint channel ranges, so every channel message at an output
// names the input it came from; channel 16 is filtered out everywhere. The configuration
// (filter, global map, route maps, port maps) is replaced during the run only by identical
// copies, so what each output must receive is known exactly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace cvx::stress {

using Bytes = std::vector<uint8_t>;

inline constexpr int kFeedingInputs = 3; // devices 0, 1, 2
inline constexpr int kFirstOutput = 4;   // outputs 4-7 are checked
inline constexpr int kOutputs = 4;
inline constexpr uint8_t kChurnInput = 8; // the cable that comes and goes
inline constexpr uint8_t kFilteredChannel = 15;
inline constexpr uint8_t kClosedMarker = 99; // controller sent to a closed input

// The first of the five channels an input sends on; the churn input uses input 2's.
inline uint8_t firstChannelOf(int input) {
    return static_cast<uint8_t>(input * 5);
}
inline int inputOfChannel(uint8_t channel) {
    return channel < 15 ? channel / 5 : -1;
}

// The route mask of input `input` at output `output` (0 = not routed); bits 0-15 channels,
// 16 SysEx, 17 realtime.
uint32_t routeMask(int output, int input);

// Message `sequence` of input `input`: bytes as fed. Every 500th message of input 2 is a
// SysEx whose length (2 to 65536 bytes) and content depend on the sequence number.
Bytes messageOf(int input, uint32_t sequence);

// What output `output` receives of that message from `input` (empty: nothing).
Bytes deliveredAt(int output, int input, const Bytes& message);

// Splits an output's byte stream into whole messages; false when it holds anything that
// is not a whole, valid message (running status is off, so every message has its status).
bool splitMessages(const Bytes& stream, std::vector<Bytes>& messages, size_t& realtimeCount);

} // namespace cvx::stress
