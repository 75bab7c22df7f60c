#include "bench_line.h"

#include <cstdio>

namespace cvx::bench {

void printBenchLine(const char* figure, double value, std::optional<double> anchor,
                    const char* unit, const char* target) {
    if (anchor) {
        std::printf("BENCH\t%s\t%.3f\t%.3f\t%s\t%s\n", figure, value, *anchor, unit, target);
    } else {
        std::printf("BENCH\t%s\t%.3f\t-\t%s\t%s\n", figure, value, unit, target);
    }
    std::fflush(stdout);
}

} // namespace cvx::bench
