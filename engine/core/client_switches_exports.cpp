// The client's switches: SysEx capture state, the input blocker and the time base.
#include "core/client.h"
#include "cvxcore.h"

using namespace cvx::core;

namespace {

constexpr int16_t kCaptureActive = 3;

} // namespace

extern "C" {

int m32DivertSysExStart(uint64_t handle, HWND window) {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr) {
        return 0;
    }
    client->windows.capture.store(window);
    client->flags.sysexCapture.store(kCaptureActive);
    return 1;
}

void m32DivertSysExStop(uint64_t handle) {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr) {
        return;
    }
    client->flags.sysexCapture.store(0);
    client->windows.capture.store(nullptr);
}

int m32DivertSysExSet(uint64_t handle, uint16_t first, uint16_t second) {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr || client->flags.sysexCapture.load() != 0) {
        return 0;
    }
    client->flags.captureValues[0] = first;
    client->flags.captureValues[1] = second;
    return 1;
}

int m32InputBlocker(uint64_t handle, int on) {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr) {
        return 0;
    }
    auto value = static_cast<int16_t>(on);
    client->flags.inputBlocker.store(value);
    return value;
}

void m32StartTimeStamp(uint64_t handle) {
    CvxClient* client = clientFromHandle(handle);
    if (client != nullptr) {
        client->timeBase.store(timeGetTime());
    }
}

uint32_t m32GetTimeStamp(uint64_t handle) {
    CvxClient* client = clientFromHandle(handle);
    return client == nullptr ? 0 : timeGetTime() - client->timeBase.load();
}

} // extern "C"
