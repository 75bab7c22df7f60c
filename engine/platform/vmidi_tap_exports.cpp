// The test tap's C entry points (vmidi.h).
#include "vmidi.h"

#include "platform/export_guard.h"
#include "platform/settle_hook.h"
#include "platform/virtual_tap.h"

using cvx::platform::VirtualTap;

extern "C" {

int vmidiFeed(unsigned inputDevice, const unsigned char* bytes, unsigned length) noexcept {
    return cvx::exports::guarded(
        0, [&] { return VirtualTap::instance().feed(inputDevice, bytes, length) ? 1 : 0; });
}

unsigned vmidiTake(unsigned outputDevice, unsigned char* buffer, unsigned capacity) noexcept {
    return cvx::exports::guarded(0u, [&] {
        return static_cast<unsigned>(VirtualTap::instance().take(outputDevice, buffer, capacity));
    });
}

void vmidiSettle(void) noexcept {
    cvx::exports::guardedCall([] {
        VirtualTap::instance().settle();
        cvx::platform::runSettleHook();
    });
}

int vmidiAddCable(const char* name) noexcept {
    return cvx::exports::guarded(
        0, [&] { return name != nullptr && VirtualTap::instance().addCable(name) ? 1 : 0; });
}

int vmidiRemoveCable(const char* name) noexcept {
    return cvx::exports::guarded(
        0, [&] { return name != nullptr && VirtualTap::instance().removeCable(name) ? 1 : 0; });
}

void vmidiFailOpen(unsigned device, int isOutput, unsigned errorCode) noexcept {
    cvx::exports::guardedCall(
        [&] { VirtualTap::instance().failNextOpen(device, isOutput != 0, errorCode); });
}

} // extern "C"
