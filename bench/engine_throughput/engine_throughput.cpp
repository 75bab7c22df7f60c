// Messages per second through the engine: the performance filter, the 32-item performance
// map and routing to two loopback outputs with monitor records.
//
// - Engine path: the engine's input callback is called directly on this thread, as the MIDI
//   service calls it once it has parsed a message; no cable, no input thread.
// - Loopback end to end: the bytes are fed to cable 1 and parsed and delivered on the
//   service's input thread; what reaches both outputs' cables is counted. The anchor is the
//   cable alone: the same bytes to a plain input callback that only counts them.
//
// The engine path is timed on the process's CPU clock up to the moment everything sent has
// left (vmidiSettle): time the machine gives to other programs does not count, work the
// engine hands to threads of its own does. The loopback figures are timed on the real clock.
// Each figure is the best of several runs. The main queue and the cables are emptied between
// bursts, outside the timed part (the application drains them on its own thread).
// Run by hand, pinned to one core for steady figures:
//   taskset -c 1 engine_throughput [seconds per run] [runs] [engine|loopback]
// Naming one half measures only that half (for profiling); BENCH lines come from a full run.
#include "performance_map.h"
#include "support/isolated_home.h"
#include "throughput_rig.h"
#include "vmidi.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <time.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using cvx::bench::Arrivals;
using cvx::bench::ThroughputRig;

// Ten rounds of the mix: small enough that its monitor records (clones included) fit the
// main queue's 2400 entries, so nothing is dropped there.
constexpr size_t kMixRounds = 10;

struct Settings {
    double seconds = 1.0;
    int runs = 5;
    bool engine = true;
    bool loopback = true;
};

struct Run {
    double messagesPerSecond = 0;
    uint64_t inputs = 0;
    Arrivals arrivals;
};

std::vector<uint32_t> burst() {
    std::vector<uint32_t> mix = cvx::bench::performanceMix();
    std::vector<uint32_t> messages;
    for (size_t i = 0; i < kMixRounds; ++i) {
        messages.insert(messages.end(), mix.begin(), mix.end());
    }
    return messages;
}

std::vector<uint8_t> wireBytes(const std::vector<uint32_t>& messages) {
    std::vector<uint8_t> bytes;
    for (uint32_t message : messages) {
        cvx::bench::appendWireBytes(message, bytes);
    }
    return bytes;
}

// Repeats `timedBurst` (which returns the seconds it took) until `seconds` of timed work
// have passed, draining the rig after each.
template <class TimedBurst>
Run measure(double seconds, size_t burstSize, ThroughputRig* rig, TimedBurst timedBurst) {
    Run run;
    double busy = 0;
    while (busy < seconds) {
        busy += timedBurst();
        run.inputs += burstSize;
        if (rig != nullptr) {
            rig->drain(run.arrivals);
        }
    }
    run.messagesPerSecond = static_cast<double>(run.inputs) / busy;
    return run;
}

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double processCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

Run enginePath(bool mapped, double seconds) {
    ThroughputRig rig(mapped);
    std::vector<uint32_t> messages = burst();
    uint32_t timestamp = 0;
    return measure(seconds, messages.size(), &rig, [&] {
        double start = processCpuSeconds();
        for (uint32_t message : messages) {
            rig.inject(message, ++timestamp);
        }
        vmidiSettle();
        return processCpuSeconds() - start;
    });
}

Run loopbackEndToEnd(double seconds) {
    ThroughputRig rig(true);
    rig.startInput();
    std::vector<uint32_t> messages = burst();
    std::vector<uint8_t> bytes = wireBytes(messages);
    return measure(seconds, messages.size(), &rig, [&] {
        auto start = Clock::now();
        vmidiFeed(0, bytes.data(), static_cast<unsigned>(bytes.size()));
        vmidiSettle();
        return secondsSince(start);
    });
}

std::atomic<uint64_t> gCableMessages{0};

void countOnly(HMIDIIN, UINT kind, DWORD_PTR, DWORD_PTR, DWORD_PTR) {
    if (kind == MIM_DATA) {
        gCableMessages.fetch_add(1, std::memory_order_relaxed);
    }
}

// The cable alone: feeding, the service's parser and thread hop, a callback that counts.
Run cableAlone(double seconds) {
    HMIDIIN input = nullptr;
    if (midiInOpen(&input, 0, reinterpret_cast<DWORD_PTR>(&countOnly), 0, CALLBACK_FUNCTION) !=
        MMSYSERR_NOERROR) {
        return {};
    }
    midiInStart(input);
    std::vector<uint32_t> messages = burst();
    std::vector<uint8_t> bytes = wireBytes(messages);
    gCableMessages = 0;
    Run run = measure(seconds, messages.size(), nullptr, [&] {
        auto start = Clock::now();
        vmidiFeed(0, bytes.data(), static_cast<unsigned>(bytes.size()));
        vmidiSettle();
        return secondsSince(start);
    });
    run.arrivals.outputMessages[0] = gCableMessages.load();
    midiInStop(input);
    midiInClose(input);
    return run;
}

template <class Measure> Run bestOf(const Settings& settings, Measure measureOnce) {
    Run best;
    for (int i = 0; i < settings.runs; ++i) {
        Run run = measureOnce(settings.seconds);
        if (run.messagesPerSecond > best.messagesPerSecond) {
            best = run;
        }
    }
    return best;
}

double perInput(uint64_t count, uint64_t inputs) {
    return inputs == 0 ? 0 : static_cast<double>(count) / static_cast<double>(inputs);
}

void describe(const char* name, const Run& run) {
    std::printf("%-36s %12.0f msg/s   per input: %.3f monitor records, %.3f + %.3f sent\n", name,
                run.messagesPerSecond, perInput(run.arrivals.monitorRecords, run.inputs),
                perInput(run.arrivals.outputMessages[0], run.inputs),
                perInput(run.arrivals.outputMessages[1], run.inputs));
}

void benchLine(const char* figure, double value, const std::string& anchor, const char* unit,
               const char* target) {
    std::printf("BENCH\t%s\t%.3f\t%s\t%s\t%s\n", figure, value, anchor.c_str(), unit, target);
}

void reportEnginePath(const Settings& settings, bool benchLines) {
    Run unmapped = bestOf(settings, [](double s) { return enginePath(false, s); });
    Run mapped = bestOf(settings, [](double s) { return enginePath(true, s); });
    describe("engine path, no map", unmapped);
    describe("engine path, 32-item map", mapped);
    if (benchLines) {
        benchLine("engine path throughput", mapped.messagesPerSecond, "-", "msg/s", ">= 5000000");
    }
}

void reportLoopback(const Settings& settings, bool benchLines) {
    Run endToEnd = bestOf(settings, loopbackEndToEnd);
    Run cable = bestOf(settings, cableAlone);
    describe("loopback end to end, 32-item map", endToEnd);
    std::printf("%-36s %12.0f msg/s   per input: %.3f delivered\n", "cable alone",
                cable.messagesPerSecond, perInput(cable.arrivals.outputMessages[0], cable.inputs));
    if (benchLines) {
        char anchor[32];
        std::snprintf(anchor, sizeof anchor, "%.3f", cable.messagesPerSecond);
        benchLine("loopback end-to-end throughput", endToEnd.messagesPerSecond,
                  cable.messagesPerSecond > 0 ? anchor : "-", "msg/s", "-");
    }
}

Settings settingsFrom(int argc, char** argv) {
    Settings settings;
    if (argc > 1) {
        settings.seconds = std::max(0.05, std::atof(argv[1]));
    }
    if (argc > 2) {
        settings.runs = std::max(1, std::atoi(argv[2]));
    }
    if (argc > 3) {
        settings.engine = std::string(argv[3]) == "engine";
        settings.loopback = std::string(argv[3]) == "loopback";
    }
    return settings;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 4 || (argc > 1 && std::string(argv[1]) == "--help")) {
        std::printf("usage: engine_throughput [seconds per run] [runs] [engine|loopback]\n");
        return argc > 4 ? 2 : 0;
    }
    cvx::testing::ScopedIsolatedHome home;
    setenv("CORVEX_MIDI", "virtual", 1);
    Settings settings = settingsFrom(argc, argv);
    try {
        std::printf("best of %d runs of %.2f s; filter, routing to 2 outputs, monitor records\n",
                    settings.runs, settings.seconds);
        if (settings.engine) {
            reportEnginePath(settings, settings.loopback);
        }
        if (settings.loopback) {
            reportLoopback(settings, settings.engine);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "engine_throughput: %s\n", e.what());
        return 1;
    }
    return 0;
}
