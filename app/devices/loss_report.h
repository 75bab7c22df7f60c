// The device log's account of lost data: what the engine counted (GetPortCounters) for the
// ports that are about to close and for the client's event queues, as log lines. Ports and
// queues that lost nothing give no line.
//
// User-interface thread only.
#pragma once

#include "cvx_records.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace corvex {

// An open port: its engine index (device index) and the name the log shows.
struct LossReportPort {
    int deviceIndex = 0;
    std::string name;
};

class LossReport {
public:
    // The lines for `counters`: one per listed input and output with a non-zero count, and
    // one per queue that dropped events since the last call (queue counts run for the whole
    // client, port counts start with each opening).
    std::vector<std::string> lines(const CPortCounters& counters,
                                   const std::vector<LossReportPort>& inputs,
                                   const std::vector<LossReportPort>& outputs);

    // A new client: its queue counts start from zero.
    void restart() { queueDropsReported_ = {}; }

private:
    std::array<uint64_t, CVX_MON_COUNT> queueDropsReported_{};
};

} // namespace corvex
