// Summaries of timing errors: median, 99th percentile and maximum.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace cvx::bench {

struct ErrorSummary {
    size_t count = 0;
    double medianUs = 0;
    double p99Us = 0;
    double maxUs = 0;
};

// Summarises absolute errors in nanoseconds.
ErrorSummary summarise(std::vector<int64_t> errorsNs);

// The deviations of emission times from an ideal grid of the given interval,
// phase + (k + 1) × interval, whose phase is the median offset of the emissions (a constant
// delay of the whole stream, such as the start-up latency, is not jitter).
std::vector<int64_t> gridDeviations(const std::vector<int64_t>& emittedNs, double intervalNs);

// How far, in microseconds, the emissions drift from the ideal grid over `overSeconds`: the
// median deviation of the run's last tenth against its first, scaled up linearly when the
// run is shorter than `overSeconds` (which also scales up its noise).
double driftUs(const std::vector<int64_t>& emittedNs, double intervalNs, double overSeconds);

// The errors of the spacing between successive emissions against the ideal interval.
std::vector<int64_t> spacingErrors(const std::vector<int64_t>& emittedNs, double intervalNs);

} // namespace cvx::bench
