// Replacing an output's routing record, the patch-map record and the running-status switch.
#include "core/client.h"
#include "cvxcore.h"

using namespace cvx::core;

extern "C" {

void m32UpdPortMap(uint64_t handle, uint16_t output, CPortMap* map) noexcept {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr || map == nullptr || output >= kPortCount) {
        return;
    }
    // The copy is word-atomic, so a message routed meanwhile sees its input's old mask or
    // its new one, never half of each; input keeps flowing rather than being dropped while
    // the record changes. The blocker ends cleared, even if the application had set it.
    client->outputs->ports[output].portMap.store(*map);
    client->flags.inputBlocker.store(0);
}

void m32SendPMInfo(uint64_t handle, PatchMapInfo* info) noexcept {
    CvxClient* client = clientFromHandle(handle);
    if (client != nullptr && info != nullptr) {
        client->patchMap.store(*info);
    }
}

int m32SendRunStatus(uint64_t handle, int on) noexcept {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr) {
        return 0;
    }
    return client->flags.runningStatusOutput.exchange(static_cast<int16_t>(on));
}

} // extern "C"
