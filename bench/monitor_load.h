// The load the monitor benchmarks feed, and their figures' helpers: a steady mix of Note On,
// Note Off (as Note On with velocity 0), Control Change and Pitch Bend on all 16 channels
// into one input, and percentiles of measured times.
// Threads: feedMonitorLoad() runs on a thread of its own; the rest anywhere.
#pragma once

#include "vmidi.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

namespace cvx::bench {

// Feeds `rate` messages per second for `seconds` into `input`, one batch per millisecond, on
// absolute deadlines so a late batch does not lower the rate; `fed` counts them.
inline void feedMonitorLoad(unsigned input, int seconds, int rate, std::atomic<long>& fed) {
    constexpr uint8_t kStatuses[4] = {0x90, 0x90, 0xB0, 0xE0};
    const int perMs = rate / 1000;
    std::vector<uint8_t> batch;
    batch.reserve(static_cast<size_t>(perMs) * 3);
    const auto start = std::chrono::steady_clock::now();
    for (int ms = 0; ms < seconds * 1000; ++ms) {
        batch.clear();
        for (int i = 0; i < perMs; ++i) {
            const auto channel = static_cast<uint8_t>(i % 16);
            const auto value = static_cast<uint8_t>(36 + (ms + i) % 48);
            batch.insert(batch.end(), {static_cast<uint8_t>(kStatuses[i % 4] | channel), value,
                                       static_cast<uint8_t>(i % 4 == 1 ? 0 : 100)});
        }
        vmidiFeed(input, batch.data(), static_cast<unsigned>(batch.size()));
        fed += perMs;
        std::this_thread::sleep_until(start + std::chrono::milliseconds(ms + 1));
    }
}

inline double percentile(std::vector<double> values, double p) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(p * static_cast<double>(values.size() - 1))];
}

} // namespace cvx::bench
