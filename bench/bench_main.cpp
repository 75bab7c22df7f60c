// The main function of every Google Benchmark program: the benchmarks run in a temporary
// home folder, so engine settings and data they touch never reach the user's.
#include "support/isolated_home.h"

#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
    cvx::testing::ScopedIsolatedHome home;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
