// Messages through the whole engine: fed on a loopback cable's input, parsed on the MIDI
// service's input thread, filtered, mapped by an empty global map, routed to two outputs
// with monitor records, and read back from the main queue. Reports the cost per input
// message, end to end, on the real clock.
#include "cvxcore.h"
#include "vmidi.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

namespace {

constexpr unsigned kBurst = 1000; // messages per iteration

CPortMap routedFrom(uint32_t input) {
    CPortMap map{};
    map.inputBits[input / 32] = 1u << (input % 32);
    map.inputMasks[input] = 0x7FFFF;
    return map;
}

std::vector<unsigned char> noteBurst() {
    std::vector<unsigned char> bytes;
    for (unsigned i = 0; i < kBurst / 2; ++i) {
        auto key = static_cast<unsigned char>(36 + i % 48);
        bytes.insert(bytes.end(), {0x90, key, 100, 0x80, key, 0});
    }
    return bytes;
}

void drain(uint64_t client, unsigned outputs) {
    EVENT event{};
    while (m32GetEvent(client, &event, MON_MAIN)) {
    }
    static std::vector<unsigned char> sink(1 << 20);
    for (unsigned o = 1; o <= outputs; ++o) {
        vmidiTake(o, sink.data(), static_cast<unsigned>(sink.size()));
    }
}

void InputToTwoOutputs(benchmark::State& state) {
    setenv("CORVEX_MIDI", "virtual", 1);
    CFilter filter{};
    uint64_t client = m32CreateClient(nullptr, nullptr, &filter);
    HMIDIIN in = nullptr;
    vx16OpenMidiIn(&in, 0, client);
    CPortMap map = routedFrom(0);
    HMIDIOUT first = nullptr;
    HMIDIOUT second = nullptr;
    vx16OpenMidiOut(&first, 1, 0, &map, client);
    vx16OpenMidiOut(&second, 2, 0, &map, client);
    m32StartTimeStamp(client);
    m32StartMidiIn(in);
    std::vector<unsigned char> burst = noteBurst();
    for (auto _ : state) {
        vmidiFeed(0, burst.data(), static_cast<unsigned>(burst.size()));
        vmidiSettle();
        state.PauseTiming();
        drain(client, 2);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kBurst);
    m32CloseMidiIn(in, client);
    m32CloseMidiOut(first, client);
    m32CloseMidiOut(second, client);
    m32DestroyClient(client);
}

BENCHMARK(InputToTwoOutputs)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
