#include "platform/settle_hook.h"

#include <atomic>

namespace cvx::platform {

namespace {

std::atomic<SettleHook> gHook{nullptr};

} // namespace

void setSettleHook(SettleHook hook) {
    gHook.store(hook);
}

void runSettleHook() {
    if (SettleHook hook = gHook.load()) {
        hook();
    }
}

} // namespace cvx::platform
