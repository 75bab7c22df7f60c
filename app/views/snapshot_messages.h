// The messages that bring a device to a snapshot's state, in the order they are sent: for
// each channel, items 1..135 in id order, chosen by the three snapshot options. Values are
// clamped to their MIDI range first (a loaded file may hold anything).
//
// Pure function, callable from any thread.
#pragma once

#include "views/channel_status.h"

#include <cstdint>
#include <vector>

namespace corvex {

struct SnapshotOptions {
    bool controllers = true;  // controllers 0..120
    bool channelMode = false; // controllers 121..127
    bool extra = true;        // Bank, Patch, Bend, NRPN, NRPN Value, Bend Range, Chn Aft
};

// Each message packed as status | data1 << 8 | data2 << 16.
std::vector<uint32_t> snapshotMessages(const StatusValues& values, const SnapshotOptions& options);

// Time between two sent messages, in milliseconds.
inline constexpr int kSnapshotMessageGapMs = 4;

} // namespace corvex
