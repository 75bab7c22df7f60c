// The filter test and the map step per message, on the 32-item performance map fed with the
// performance mix (bench/engine_throughput/performance_map.h).
#include "core/map_arena.h"
#include "mapping/map_loop.h"
#include "mapping/map_storage.h"
#include "mapping/message_filter.h"
#include "performance_map.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

using namespace cvx::mapping;
using cvx::bench::shortMessage;

class MapBench {
public:
    MapBench() : arena_(std::make_unique<cvx::core::MapArena>()) {
        storeGlobalMap(*arena_, copy_, nrpn_, map_.mapper());
        view_ = viewOf(copy_);
    }
    const MapView& view() const { return view_; }
    NrpnState& nrpn() { return nrpn_; }

private:
    std::unique_ptr<cvx::core::MapArena> arena_;
    cvx::bench::PerformanceMap map_;
    MapCopy copy_{};
    NrpnState nrpn_{};
    MapView view_{};
};

void discardSysEx(void* context, const uint8_t* bytes, uint16_t length, uint8_t) {
    benchmark::DoNotOptimize(context);
    benchmark::DoNotOptimize(bytes[length - 1]);
}

void BM_MapStep32Items(benchmark::State& state) {
    MapBench bench;
    std::vector<uint32_t> mix = cvx::bench::performanceMix();
    SysExSink sink{discardSysEx, nullptr};
    size_t next = 0;
    uint32_t produced = 0;
    for (auto _ : state) {
        EVENT source{};
        source.message = mix[next];
        next = next + 1 == mix.size() ? 0 : next + 1;
        runMapLoop(source, &bench.view(), bench.nrpn(), sink,
                   [&produced](const EVENT& e, uint32_t delay) { produced += e.message + delay; });
    }
    benchmark::DoNotOptimize(produced);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MapStep32Items);

void BM_MapStepUnmatchedNote(benchmark::State& state) {
    MapBench bench;
    SysExSink sink{discardSysEx, nullptr};
    uint32_t produced = 0;
    EVENT source{};
    source.message = shortMessage(0x95, 60, 100); // scans all 32 items, passes unchanged
    for (auto _ : state) {
        runMapLoop(source, &bench.view(), bench.nrpn(), sink,
                   [&produced](const EVENT& e, uint32_t) { produced += e.message; });
    }
    benchmark::DoNotOptimize(produced);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MapStepUnmatchedNote);

void BM_FilterTest(benchmark::State& state) {
    CFilter filter = cvx::bench::performanceFilter();
    std::vector<uint32_t> mix = cvx::bench::performanceMix();
    size_t next = 0;
    unsigned filtered = 0;
    for (auto _ : state) {
        filtered += isFiltered(mix[next], filter);
        next = next + 1 == mix.size() ? 0 : next + 1;
    }
    benchmark::DoNotOptimize(filtered);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FilterTest);

} // namespace
