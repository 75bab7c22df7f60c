// The in-process example tests run on the loopback cables alone, with the real clock.
#pragma once

#include "support/notification_loop.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>

namespace corvex::examples::testing {

class VirtualDevicesOnly : public ::testing::Environment {
public:
    void SetUp() override { setenv("CORVEX_MIDI", "virtual", 1); }
};

// Pumps `loop` into `handle` until `done` holds or 20 s pass (the machine may be loaded).
inline bool pumpUntil(NotificationLoop& loop, const NotificationLoop::Handler& handle,
                      const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done() && std::chrono::steady_clock::now() < end) {
        loop.pump(50, handle);
    }
    return done();
}

} // namespace corvex::examples::testing
