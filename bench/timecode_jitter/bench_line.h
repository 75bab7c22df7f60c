// The machine-readable result line every benchmark prints beside its own report:
//   BENCH<TAB>figure<TAB>value<TAB>anchor<TAB>unit<TAB>target
// Values with up to three decimals; the anchor is the comparison value or "-".
#pragma once

#include <optional>

namespace cvx::bench {

void printBenchLine(const char* figure, double value, std::optional<double> anchor,
                    const char* unit, const char* target);

} // namespace cvx::bench
