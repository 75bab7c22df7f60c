// Formats a mix of events like a busy monitor shows (notes, controllers, program changes with
// patch names, clock, SysEx blocks), one line per iteration, as a fresh string and into a
// reused string (the way the monitor paints).
#include "views/event_text.h"

#include <benchmark/benchmark.h>

#include <array>

namespace {

std::array<EVENT, 8> sampleEvents() {
    const auto make = [](uint32_t message, uint8_t port, uint8_t outPort) {
        EVENT e{};
        e.timestamp = 123456789;
        e.message = message;
        e.port = port;
        e.outPort = outPort;
        return e;
    };
    return {make(0x00643C90, 0, 1), make(0x00003C80, 0, 2),  make(0x006407B3, 3, 0),
            make(0x000011C2, 1, 1), make(0x004000E5, 0, 0),  make(0x000000F8, 2, 4),
            make(0x000102F0, 0, 1), make(0xFF643C90, 135, 1)};
}

corvex::EventText formatter() {
    corvex::EventText text;
    text.setShowPatchNames(true);
    text.setAbbreviatePortNames(true);
    text.setPortNames({"Corvex Loopback 1", "Synth In"}, {"Corvex Loopback 1", "Synth Out"});
    return text;
}

void formatNewString(benchmark::State& state, corvex::NumberStyle style) {
    const corvex::EventText text = formatter();
    const auto events = sampleEvents();
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(text.line(events[i++ % events.size()], style));
    }
    state.SetItemsProcessed(state.iterations());
}

void formatReusedString(benchmark::State& state, corvex::NumberStyle style) {
    const corvex::EventText text = formatter();
    const auto events = sampleEvents();
    std::string line;
    size_t i = 0;
    for (auto _ : state) {
        text.line(events[i++ % events.size()], style, line);
        benchmark::DoNotOptimize(line.data());
    }
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK_CAPTURE(formatNewString, hex, corvex::NumberStyle::Hex);
BENCHMARK_CAPTURE(formatNewString, decimal, corvex::NumberStyle::Decimal);
BENCHMARK_CAPTURE(formatReusedString, hex, corvex::NumberStyle::Hex);
BENCHMARK_CAPTURE(formatReusedString, decimal, corvex::NumberStyle::Decimal);

} // namespace
