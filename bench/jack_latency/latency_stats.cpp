#include "latency_stats.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace cvx::bench {

double percentile(std::vector<double> values, double p) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const double rank = std::ceil(std::clamp(p, 0.0, 1.0) * static_cast<double>(values.size()));
    const size_t index = rank < 1 ? 0 : static_cast<size_t>(rank) - 1;
    return values[index];
}

Summary summarise(const std::vector<double>& values) {
    Summary s;
    s.count = values.size();
    if (values.empty()) {
        return s;
    }
    s.median = percentile(values, 0.5);
    s.p99 = percentile(values, 0.99);
    s.max = *std::max_element(values.begin(), values.end());
    return s;
}

std::string benchNumber(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", value);
    std::string number = text;
    number.erase(number.find_last_not_of('0') + 1);
    if (number.back() == '.') {
        number.pop_back();
    }
    return number == "-0" ? "0" : number;
}

std::string benchLine(const std::string& figure, double corvex, std::optional<double> anchor,
                      const std::string& unit, const std::string& target) {
    return "BENCH\t" + figure + "\t" + benchNumber(corvex) + "\t" +
           (anchor ? benchNumber(*anchor) : std::string("-")) + "\t" + unit + "\t" +
           (target.empty() ? std::string("-") : target);
}

} // namespace cvx::bench
