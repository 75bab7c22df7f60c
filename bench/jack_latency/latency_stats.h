// Summaries of latency samples and the benchmark's machine-readable result lines.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace cvx::bench {

struct Summary {
    size_t count = 0;
    double median = 0;
    double p99 = 0;
    double max = 0;
};

// Nearest-rank percentile (p in 0..1) of the values; 0 for none.
double percentile(std::vector<double> values, double p);
// Median, 99th percentile and maximum; all 0 for no values.
Summary summarise(const std::vector<double>& values);

// One result line as the benchmark runner collects it:
// "BENCH<TAB>figure<TAB>corvex<TAB>anchor<TAB>unit<TAB>target", numbers with up to three
// decimals (trailing zeros dropped); no anchor and an empty target are written "-".
std::string benchLine(const std::string& figure, double corvex, std::optional<double> anchor,
                      const std::string& unit, const std::string& target);
// A number as benchLine writes it.
std::string benchNumber(double value);

} // namespace cvx::bench
