// The filter test and the map step per message, on a realistic 32-item map: keyboard splits
// and layers, velocity curves, controller renumbering and scaling, NRPN input and output,
// transport remapping, a SysEx trigger and a few discards, fed with a mix of performance
// messages.
#include "core/map_arena.h"
#include "mapping/map_loop.h"
#include "mapping/map_storage.h"
#include "mapping/message_filter.h"

#include <benchmark/benchmark.h>

#include <array>
#include <memory>
#include <vector>

namespace {

using namespace cvx::mapping;

MapItem item(uint8_t sourceType, uint8_t targetType) {
    MapItem i{};
    i.sourceChannel = 0xFF;
    i.sourceMessage = sourceType;
    i.sourceV1Min = i.sourceV1Max = i.sourceV2Min = i.sourceV2Max = 0xFFFF;
    i.targetChannel = 0xFF;
    i.targetMessage = targetType;
    i.targetV1Min = i.targetV1Max = i.targetV2Min = i.targetV2Max = 0xFFFF;
    return i;
}

MapItem onChannel(MapItem i, uint8_t channel) {
    i.sourceChannel = channel;
    return i;
}

MapItem withSource1(MapItem i, uint16_t min, uint16_t max) {
    i.sourceV1Min = min;
    i.sourceV1Max = max;
    return i;
}

MapItem withTarget1(MapItem i, uint16_t min, uint16_t max) {
    i.targetV1Min = min;
    i.targetV1Max = max;
    return i;
}

MapItem withTarget2(MapItem i, uint16_t min, uint16_t max) {
    i.sourceV2Min = 0;
    i.sourceV2Max = 127;
    i.targetV2Min = min;
    i.targetV2Max = max;
    return i;
}

std::vector<MapItem> realisticMap(uint16_t sysexOffset) {
    std::vector<MapItem> items;
    for (uint8_t channel = 8; channel < 16; ++channel) { // unused channels go elsewhere
        MapItem moved = onChannel(item(MAP_ANY, MAP_ANY), channel);
        moved.targetChannel = 0;
        items.push_back(moved);
    }
    MapItem lowSplit = withSource1(item(MAP_NOTE_ON, MAP_NOTE_ON), 0, 59);
    lowSplit.targetChannel = 1;
    lowSplit.itemFlags = MAPITEM_CLONE;
    items.push_back(onChannel(lowSplit, 0));
    items.push_back(onChannel(withTarget2(item(MAP_NOTE_ON, MAP_NOTE_ON), 40, 127), 0));
    items.push_back(onChannel(withSource1(item(MAP_NOTE_OFF, MAP_NOTE_OFF), 0, 59), 0));
    for (uint8_t controller : {1, 2, 4, 11, 64, 67, 71, 74}) {
        MapItem renumber = withSource1(item(MAP_CTRL, MAP_CTRL), controller, controller);
        items.push_back(withTarget1(renumber, controller + 20, controller + 20));
    }
    items.push_back(withTarget2(withSource1(item(MAP_CTRL, MAP_CTRL), 7, 7), 127, 0));
    items.push_back(withTarget2(item(MAP_CHAN_AFT, MAP_CTRL), 0, 100));
    MapItem toNrpn = withSource1(item(MAP_CTRL, MAP_NRPN), 16, 16);
    items.push_back(withTarget1(withTarget2(toNrpn, 0, 0x3FFF), 0x0105, 0x0105));
    MapItem fromNrpn = withSource1(item(MAP_NRPN, MAP_CTRL), 0x0200, 0x02FF);
    items.push_back(withTarget1(fromNrpn, 30, 30));
    items.push_back(item(MAP_START, MAP_CONT));
    items.push_back(item(MAP_STOP, MAP_DISCARD));
    items.push_back(item(MAP_KEY_AFT, MAP_DISCARD));
    MapItem trigger = withSource1(item(MAP_PROG_CHG, MAP_SYSEX), 100, 127);
    trigger.sysexOffset = sysexOffset;
    items.push_back(trigger);
    items.push_back(withTarget1(item(MAP_PITCH_B, MAP_PITCH_B), 0, 0));
    while (items.size() < 32) {
        items.push_back(onChannel(item(MAP_NOTE_ON, MAP_DISCARD), 7)); // filler
    }
    return items;
}

uint32_t message(uint8_t status, uint8_t data1, uint8_t data2) {
    return status | uint32_t{data1} << 8 | uint32_t{data2} << 16;
}

// A performance mix: mostly notes and controllers, some bend, pressure, program changes,
// clock, and an NRPN edit.
std::vector<uint32_t> inputMix() {
    std::vector<uint32_t> mix;
    for (int i = 0; i < 8; ++i) {
        uint8_t note = static_cast<uint8_t>(36 + i * 7);
        mix.push_back(message(0x90, note, static_cast<uint8_t>(60 + i)));
        mix.push_back(message(0x80, note, 0));
        mix.push_back(
            message(0xB0, static_cast<uint8_t>(i % 2 ? 1 : 7), static_cast<uint8_t>(i * 9)));
        mix.push_back(message(0xE0, 0, static_cast<uint8_t>(64 + i)));
        mix.push_back(0xF8);
    }
    mix.push_back(message(0xD0, 50, 0));
    mix.push_back(message(0xC0, 110, 0));
    mix.push_back(message(0x93, 60, 100));
    mix.push_back(message(0xB0, 99, 2));
    mix.push_back(message(0xB0, 98, 10));
    mix.push_back(message(0xB0, 6, 64));
    mix.push_back(message(0xB0, 16, 100));
    return mix;
}

class MapBench {
public:
    MapBench() : arena_(std::make_unique<cvx::core::MapArena>()) {
        pool_ = {'S', 'Y', 'X', 0, 6, 0, 0xF0, 0x43, 0xFA, 0xFB, 0xFC, 0xF7};
        items_ = realisticMap(4);
        SMapper map{};
        map.mapIsOn = 1;
        map.itemCount = static_cast<int16_t>(items_.size());
        map.items = items_.data();
        map.sysexLength = static_cast<uint16_t>(pool_.size());
        map.sysexPool = pool_.data();
        storeGlobalMap(*arena_, copy_, nrpn_, map);
        view_ = viewOf(copy_);
    }
    const MapView& view() const { return view_; }
    NrpnState& nrpn() { return nrpn_; }

private:
    std::unique_ptr<cvx::core::MapArena> arena_;
    std::vector<MapItem> items_;
    std::vector<uint8_t> pool_;
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
    std::vector<uint32_t> mix = inputMix();
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
    source.message = message(0x95, 60, 100); // scans all 32 items, passes unchanged
    for (auto _ : state) {
        runMapLoop(source, &bench.view(), bench.nrpn(), sink,
                   [&produced](const EVENT& e, uint32_t) { produced += e.message; });
    }
    benchmark::DoNotOptimize(produced);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MapStepUnmatchedNote);

void BM_FilterTest(benchmark::State& state) {
    CFilter filter{};
    filter.filterFlags = (1u << 9) | CVX_FILTER_CONTROL_CHANGE | CVX_FILTER_KEY_AFTERTOUCH;
    filter.systemFilter = CVX_SYSFILTER_F8 | CVX_SYSFILTER_FE;
    filter.controllerFilter[0] = 0x80;
    std::vector<uint32_t> mix = inputMix();
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
