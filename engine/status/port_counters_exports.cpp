// Reading the loss counts of the ports and queues.
#include "core/client.h"
#include "cvxcore.h"

#include <algorithm>
#include <cstring>

using namespace cvx::core;

namespace {

uint64_t inputOverruns(const InputPort& port) {
    HMIDIIN handle = port.handle.load();
    uint64_t live = 0;
    if (handle != nullptr && cvxMidiInGetOverruns(handle, &live) == MMSYSERR_NOERROR) {
        return live;
    }
    // Closed (or closing meanwhile): the count its last opening ended with.
    return port.overrunsAtClose.load();
}

CPortCounters collect(CvxClient& client) {
    CPortCounters counts{};
    for (uint32_t i = 0; i < kPortCount; ++i) {
        const InputPort& input = client.inputs.ports[i];
        counts.inputOverruns[i] = inputOverruns(input);
        counts.inputRejects[i] = input.rejects.load();
        counts.outputFailures[i] = client.outputs->ports[i].sendFailures.load();
    }
    for (uint32_t id = 0; id < CVX_MON_COUNT; ++id) {
        counts.queueDrops[id] = client.queueDrops[id].load();
    }
    return counts;
}

} // namespace

extern "C" {

int m32GetPortCounters(uint64_t handle, CPortCounters* counters) CVX_NOEXCEPT {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr || counters == nullptr ||
        counters->cbStruct < CVX_PORT_COUNTERS_MIN_SIZE) {
        return 0;
    }
    CPortCounters counts = collect(*client);
    uint32_t filled = std::min<uint32_t>(counters->cbStruct, sizeof counts);
    counts.cbStruct = filled;
    std::memcpy(counters, &counts, filled);
    return 1;
}

} // extern "C"
