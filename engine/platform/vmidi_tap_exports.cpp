// The test tap's C entry points (vmidi.h).
#include "vmidi.h"

#include "platform/settle_hook.h"
#include "platform/virtual_tap.h"

using cvx::platform::VirtualTap;

extern "C" {

int vmidiFeed(unsigned inputDevice, const unsigned char* bytes, unsigned length) {
    return VirtualTap::instance().feed(inputDevice, bytes, length) ? 1 : 0;
}

unsigned vmidiTake(unsigned outputDevice, unsigned char* buffer, unsigned capacity) {
    return static_cast<unsigned>(VirtualTap::instance().take(outputDevice, buffer, capacity));
}

void vmidiSettle(void) {
    VirtualTap::instance().settle();
    cvx::platform::runSettleHook();
}

int vmidiAddCable(const char* name) {
    return name != nullptr && VirtualTap::instance().addCable(name) ? 1 : 0;
}

int vmidiRemoveCable(const char* name) {
    return name != nullptr && VirtualTap::instance().removeCable(name) ? 1 : 0;
}

void vmidiFailOpen(unsigned device, int isOutput, unsigned errorCode) {
    VirtualTap::instance().failNextOpen(device, isOutput != 0, errorCode);
}

} // extern "C"
