#include "jitter_stats.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace cvx::bench {

namespace {

constexpr double kNsPerUs = 1000.0;

double at(const std::vector<int64_t>& sorted, double fraction) {
    auto index = static_cast<size_t>(std::ceil(fraction * double(sorted.size()))) - 1;
    return double(sorted[std::min(index, sorted.size() - 1)]) / kNsPerUs;
}

int64_t median(std::vector<int64_t> values) {
    std::nth_element(values.begin(), values.begin() + ptrdiff_t(values.size() / 2), values.end());
    return values[values.size() / 2];
}

void subtractMedian(std::vector<int64_t>& values) {
    if (values.empty()) {
        return;
    }
    int64_t middle = median(values);
    for (int64_t& v : values) {
        v -= middle;
    }
}

} // namespace

ErrorSummary summarise(std::vector<int64_t> errorsNs) {
    ErrorSummary summary;
    summary.count = errorsNs.size();
    if (errorsNs.empty()) {
        return summary;
    }
    for (int64_t& e : errorsNs) {
        e = std::llabs(e);
    }
    std::sort(errorsNs.begin(), errorsNs.end());
    summary.medianUs = at(errorsNs, 0.5);
    summary.p99Us = at(errorsNs, 0.99);
    summary.maxUs = double(errorsNs.back()) / kNsPerUs;
    return summary;
}

std::vector<int64_t> gridDeviations(const std::vector<int64_t>& emittedNs, double intervalNs) {
    std::vector<int64_t> deviations;
    deviations.reserve(emittedNs.size());
    for (size_t k = 0; k < emittedNs.size(); ++k) {
        deviations.push_back(emittedNs[k] - std::llround(double(k + 1) * intervalNs));
    }
    subtractMedian(deviations);
    return deviations;
}

double driftUs(const std::vector<int64_t>& emittedNs, double intervalNs, double overSeconds) {
    size_t window = emittedNs.size() / 10;
    if (window == 0) {
        return 0;
    }
    // The median deviation from the grid at the end of the run against that at its start:
    // medians, so that a single late wake-up in either window does not count as drift.
    std::vector<int64_t> deviations;
    deviations.reserve(emittedNs.size());
    for (size_t k = 0; k < emittedNs.size(); ++k) {
        deviations.push_back(emittedNs[k] - std::llround(double(k + 1) * intervalNs));
    }
    auto first = std::vector<int64_t>(deviations.begin(), deviations.begin() + ptrdiff_t(window));
    auto last = std::vector<int64_t>(deviations.end() - ptrdiff_t(window), deviations.end());
    double runSeconds = double(emittedNs.back()) / 1e9;
    double drift = double(std::llabs(median(last) - median(first))) / kNsPerUs;
    return drift * std::max(1.0, overSeconds / runSeconds);
}

std::vector<int64_t> spacingErrors(const std::vector<int64_t>& emittedNs, double intervalNs) {
    std::vector<int64_t> errors;
    for (size_t k = 1; k < emittedNs.size(); ++k) {
        errors.push_back(emittedNs[k] - emittedNs[k - 1] - std::llround(intervalNs));
    }
    return errors;
}

} // namespace cvx::bench
