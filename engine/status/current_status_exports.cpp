// An output's running status as the engine last decided it.
#include "core/client.h"
#include "core/engine_lock.h"
#include "cvxcore.h"

using namespace cvx::core;

extern "C" {

uint32_t m32GetCurrentStatus(uint64_t handle, uint16_t output) {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr || output >= kPortCount) {
        return 0;
    }
    uint8_t runningStatus = 0;
    {
        EngineGuard guard(engineLock());
        runningStatus = client->outputs->ports[output].runningStatus;
    }
    auto flag = static_cast<uint16_t>(client->flags.runningStatusOutput.load());
    return static_cast<uint32_t>(flag) << 16 | runningStatus;
}

} // extern "C"
