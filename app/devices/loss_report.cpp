#include "loss_report.h"

namespace corvex {

namespace {

constexpr const char* kQueueNames[CVX_MON_COUNT] = {"",    "Input Monitor", "Main",
                                                    "Lua", "Dock",          "Script"};

bool valid(int deviceIndex) {
    return deviceIndex >= 0 && deviceIndex < static_cast<int>(CVX_PORT_COUNT);
}

// ", 12 overruns" when the count is not zero.
void appendCount(std::string& text, uint64_t count, const char* what) {
    if (count != 0) {
        text += ", " + std::to_string(count) + " " + what;
    }
}

std::string portLine(const char* prefix, const LossReportPort& port, const std::string& counts) {
    // `counts` begins with ", ".
    return std::string(" ") + prefix +
           " Lost-Data:             " + std::to_string(port.deviceIndex) + ", " + port.name + ":" +
           counts.substr(1);
}

} // namespace

std::vector<std::string> LossReport::lines(const CPortCounters& counters,
                                           const std::vector<LossReportPort>& inputs,
                                           const std::vector<LossReportPort>& outputs) {
    std::vector<std::string> result;
    for (const LossReportPort& input : inputs) {
        if (!valid(input.deviceIndex)) {
            continue;
        }
        std::string counts;
        appendCount(counts, counters.inputOverruns[input.deviceIndex],
                    "deliveries lost before the engine (overrun)");
        appendCount(counts, counters.inputRejects[input.deviceIndex],
                    "SysEx buffers not handed over");
        if (!counts.empty()) {
            result.push_back(portLine("<< In: ", input, counts));
        }
    }
    for (const LossReportPort& output : outputs) {
        if (!valid(output.deviceIndex)) {
            continue;
        }
        std::string counts;
        appendCount(counts, counters.outputFailures[output.deviceIndex], "sends failed");
        if (!counts.empty()) {
            result.push_back(portLine(">> Out:", output, counts));
        }
    }
    for (uint32_t id = 1; id < CVX_MON_COUNT; ++id) {
        uint64_t dropped = counters.queueDrops[id];
        if (dropped > queueDropsReported_[id]) {
            result.push_back(std::string(" == Queue: Lost-Data:             ") + kQueueNames[id] +
                             ": " + std::to_string(dropped - queueDropsReported_[id]) +
                             " events dropped, the queue was full");
        }
        queueDropsReported_[id] = dropped;
    }
    return result;
}

} // namespace corvex
