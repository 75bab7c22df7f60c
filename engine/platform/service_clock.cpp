#include "platform/service_clock.h"

#include <atomic>

namespace cvx::platform::clock {
namespace {

std::atomic<bool> gManual{false};
std::atomic<int64_t> gManualNs{0};
std::atomic<int64_t> gOffsetNs{0};

int64_t steadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

int64_t nowNs() {
    if (gManual.load(std::memory_order_acquire)) {
        return gManualNs.load(std::memory_order_acquire);
    }
    return steadyNs() + gOffsetNs.load(std::memory_order_relaxed);
}

bool isManual() {
    return gManual.load(std::memory_order_acquire);
}

void setManual(bool on) {
    if (on == gManual.load()) {
        return;
    }
    if (on) {
        int64_t now = steadyNs() + gOffsetNs.load();
        gManualNs.store(now - now % 1000000);
        gManual.store(true);
    } else {
        gOffsetNs.store(gManualNs.load() - steadyNs());
        gManual.store(false);
    }
}

void advanceManualTo(int64_t ns) {
    if (ns > gManualNs.load()) {
        gManualNs.store(ns);
    }
}

std::chrono::steady_clock::time_point toSteady(int64_t ns) {
    return std::chrono::steady_clock::time_point(
        std::chrono::nanoseconds(ns - gOffsetNs.load(std::memory_order_relaxed)));
}

} // namespace cvx::platform::clock
