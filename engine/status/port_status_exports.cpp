// Reading and clearing the ports' last activity.
#include "core/client.h"
#include "cvxcore.h"

#include <algorithm>

using namespace cvx::core;

namespace {

// Device inputs are 0-134; 135 is the generated-event port, read on its own.
constexpr uint32_t kDeviceInputLimit = kGeneratedPort;

void copyInput(InputPort& port, CPortStatus& status, uint32_t index) {
    status.inputTimes[index] = port.lastTime.load();
    // Exchanged, not loaded and stored: a class recorded meanwhile is kept for the next call.
    status.inputClasses[index] = port.statusClass.exchange(0);
}

void copyOutput(OutputPort& port, COutputStatus& status) {
    status.lastTime = port.lastTime.load();
    status.statusBits = port.statusBits.exchange(0);
    status.deviceIndex = static_cast<uint16_t>(port.deviceIndex.load());
    status.lastInput = static_cast<uint16_t>(port.lastSource.load());
}

} // namespace

extern "C" {

void m32GetPortStatus(uint64_t handle, CPortStatus* status) {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr || status == nullptr) {
        return;
    }
    // The output slot after the last device is the mapper's.
    uint32_t outputs = std::min<uint32_t>(midiOutGetNumDevs() + 1, kPortCount);
    for (uint32_t i = 0; i < outputs; ++i) {
        copyOutput(client->outputs->ports[i], status->outputs[i]);
    }
    uint32_t inputs = std::min<uint32_t>(midiInGetNumDevs(), kDeviceInputLimit);
    for (uint32_t i = 0; i < inputs; ++i) {
        copyInput(client->inputs.ports[i], *status, i);
    }
    copyInput(client->inputs.ports[kGeneratedPort], *status, kGeneratedPort);
}

} // extern "C"
