// When the engine last told its windows that events were waiting, and the raw monitor's
// pending one-shot notification.
#pragma once

#include "cvx_platform.h"

#include <atomic>
#include <cstdint>

namespace cvx::core {

struct NotifyState {
    std::atomic<uint32_t> lastMainTick{0}; // relaxed: only the value itself matters
    uint32_t lastRawTick = 0;              // engine lock
    std::atomic<bool> rawPending{false};
    std::atomic<UINT> rawTimer{0};
};

} // namespace cvx::core
