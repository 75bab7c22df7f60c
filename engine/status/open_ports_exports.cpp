// Which ports are open, and how many.
#include "core/client.h"
#include "cvxcore.h"

using namespace cvx::core;

extern "C" {

uint16_t m32InDevOpenCount(uint64_t handle) {
    CvxClient* client = clientFromHandle(handle);
    return client == nullptr ? 0 : client->inputs.openCount.load();
}

uint16_t m32OutDevOpenCount(uint64_t handle) {
    CvxClient* client = clientFromHandle(handle);
    return client == nullptr ? 0 : client->outputs->openCount.load();
}

int m32IsInDevOpen(uint64_t handle, uint16_t input) {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr || input >= kPortCount) {
        return 0;
    }
    uint64_t word = client->inputs.openBits[input / 64].load();
    return static_cast<int>((word >> (input % 64)) & 1);
}

int m32IsOutDevOpen(uint64_t handle, uint16_t output) {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr || output >= kPortCount) {
        return 0;
    }
    const OutputPort& port = client->outputs->ports[output];
    return port.deviceIndex.load() == output && port.handle.load() != nullptr ? 1 : 0;
}

} // extern "C"
