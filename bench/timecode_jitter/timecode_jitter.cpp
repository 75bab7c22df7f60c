// Runs the MTC generator (30 fps) and the clock generator (120 BPM, timebase 96) together on
// the real clock for 10 seconds and reports, for the quarter frames and for the clocks:
// - the lateness of each emission behind the deadline of the timer tick that sent it (the
//   timer thread's own wake-up lateness, seen where it matters),
// - the deviation of each emission from the ideal grid of the stream (k × ideal interval
//   after a common start, the stream's median phase removed): each message has a deadline
//   of its own, so this is the timer's lateness plus any time a generator fell behind,
// - the drift of the stream from the grid over ten minutes, extrapolated from the run,
// - the deviation of each spacing from the ideal interval.
//
// Emission times are taken where the generators hand each message to the injection path,
// which then runs as usual (no output is open, so nothing leaves the process).
// Usage: timecode_jitter [period-ms [seconds]] (the period of the generators' first tick,
// the length of the run: 10 s by default, 600 s measures the drift over ten minutes)
#include "bench_line.h"
#include "core/client.h"
#include "cvxcore.h"
#include "jitter_stats.h"
#include "platform/service_clock.h"
#include "platform/timer_service.h"
#include "routing/injection.h"
#include "support/isolated_home.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kDefaultRunSeconds = 10;
constexpr int kLongestRunSeconds = 3600;
constexpr size_t kMostPerSecond = 130; // quarter frames at 30 fps, with room
constexpr uint16_t kMtcRate = 3;       // 30 fps
constexpr uint16_t kTempo = 12000;
constexpr uint16_t kTimebase = 96;
constexpr double kQuarterFrameNs = 1e9 / 120.0;
constexpr double kClockNs = 60e9 / 120.0 / 24.0;

// Emission times in ns after a stream's start and how late their ticks ran; filled on the
// timer thread, so preallocated.
struct Capture {
    int64_t startNs = 0;
    std::vector<int64_t> times;
    std::vector<int64_t> lateness;
    std::atomic<size_t> count{0};

    void reserveFor(int seconds) {
        times.resize(size_t(seconds) * kMostPerSecond);
        lateness.resize(times.size());
    }

    void record(int64_t nowNs, int64_t dueNs) {
        size_t n = count.load(std::memory_order_relaxed);
        if (n < times.size()) {
            times[n] = nowNs - startNs;
            lateness[n] = nowNs - dueNs;
            count.store(n + 1, std::memory_order_release);
        }
    }

    std::vector<int64_t> recorded(const std::vector<int64_t>& values) const {
        return {values.begin(), values.begin() + static_cast<ptrdiff_t>(count.load())};
    }
};

constexpr double kDriftSeconds = 600;

struct StreamResult {
    cvx::bench::ErrorSummary tickLateness;
    cvx::bench::ErrorSummary grid;
    double driftUs = 0; // over ten minutes, extrapolated from the run
};

Capture quarterFrames;
Capture clocks;

void recordAndInject(cvx::core::CvxClient& client, uint8_t status, uint8_t data1, uint8_t data2) {
    int64_t now = cvx::platform::clock::nowNs();
    int64_t due = cvx::platform::TimerService::runningDueNs();
    if (status == 0xF1) {
        quarterFrames.record(now, due);
    } else if (status == 0xF8) {
        clocks.record(now, due);
    }
    cvx::core::injectGenerated(client, status, data1, data2);
}

void printRow(const char* what, const cvx::bench::ErrorSummary& s) {
    std::printf("  %-28s n=%5zu  median %8.1f us  p99 %8.1f us  max %8.1f us\n", what, s.count,
                s.medianUs, s.p99Us, s.maxUs);
}

StreamResult report(const char* name, const Capture& capture, double intervalNs) {
    std::vector<int64_t> times = capture.recorded(capture.times);
    StreamResult result{cvx::bench::summarise(capture.recorded(capture.lateness)),
                        cvx::bench::summarise(cvx::bench::gridDeviations(times, intervalNs)),
                        cvx::bench::driftUs(times, intervalNs, kDriftSeconds)};
    std::printf("%s (ideal interval %.3f ms):\n", name, intervalNs / 1e6);
    printRow("tick lateness", result.tickLateness);
    printRow("vs ideal grid", result.grid);
    std::printf("  %-28s %8.1f us\n", "drift over 10 min", result.driftUs);
    printRow("spacing vs ideal interval",
             cvx::bench::summarise(cvx::bench::spacingErrors(times, intervalNs)));
    return result;
}

// The tick lateness of both generators' emissions together.
cvx::bench::ErrorSummary allTickLateness() {
    std::vector<int64_t> all = quarterFrames.recorded(quarterFrames.lateness);
    std::vector<int64_t> fromClocks = clocks.recorded(clocks.lateness);
    all.insert(all.end(), fromClocks.begin(), fromClocks.end());
    return cvx::bench::summarise(all);
}

void printStreamLines(const char* name, const StreamResult& r) {
    using cvx::bench::printBenchLine;
    std::string n = name;
    printBenchLine((n + " lateness vs ideal grid p99").c_str(), r.grid.p99Us, std::nullopt, "us",
                   "<= 100 us");
    printBenchLine((n + " lateness vs ideal grid max").c_str(), r.grid.maxUs, std::nullopt, "us",
                   "<= 1000 us");
    printBenchLine((n + " drift over 10 min").c_str(), r.driftUs, std::nullopt, "us", "<= 100 us");
}

void printBenchLines(const StreamResult& mtc, const StreamResult& clock, bool realtime) {
    using cvx::bench::printBenchLine;
    cvx::bench::ErrorSummary lateness = allTickLateness();
    printBenchLine("timer tick lateness p99", lateness.p99Us, std::nullopt, "us", "<= 100 us");
    printBenchLine("timer tick lateness max", lateness.maxUs, std::nullopt, "us", "-");
    printStreamLines("MTC quarter frame", mtc);
    printStreamLines("clock", clock);
    printBenchLine("RT priority granted", realtime ? 1 : 0, std::nullopt, "bool", "-");
}

} // namespace

int main(int argc, char** argv) {
    cvx::testing::ScopedIsolatedHome home;
    auto period = static_cast<uint16_t>(argc > 1 ? std::atoi(argv[1]) : 5);
    int runSeconds = argc > 2 ? std::atoi(argv[2]) : kDefaultRunSeconds;
    if (period == 0 || runSeconds <= 0 || runSeconds > kLongestRunSeconds) {
        std::fprintf(stderr, "usage: timecode_jitter [period-ms [seconds, 1-%d]]\n",
                     kLongestRunSeconds);
        return 1;
    }
    uint64_t handle = m32CreateClient(nullptr, nullptr, nullptr);
    if (handle == 0) {
        std::fprintf(stderr, "timecode_jitter: no client made\n");
        return 1;
    }
    quarterFrames.reserveFor(runSeconds);
    clocks.reserveFor(runSeconds);
    cvx::core::clientFromHandle(handle)->timeCode.send = recordAndInject;
    m32StartTimeStamp(handle);
    m32ConfigMTC(handle, kMtcRate, period, 0);
    m32ConfigSync(handle, period, kTempo, kTimebase);

    quarterFrames.startNs = cvx::platform::clock::nowNs();
    int mtcStarted = m32GenMTCStart(handle);
    clocks.startNs = cvx::platform::clock::nowNs();
    int clockStarted = m32StartClock(handle);
    if (!mtcStarted || !clockStarted) {
        std::fprintf(stderr, "generators did not start\n");
        return 1;
    }
    std::this_thread::sleep_for(std::chrono::seconds(runSeconds));
    m32GenMTCStop(handle, 0);
    m32StopClock(handle);
    m32DestroyClient(handle);

    bool realtime = cvx::platform::TimerService::instance().realtime();
    std::printf("timer period %u ms, %d s, timer thread %s\n", period, runSeconds,
                realtime ? "real-time (SCHED_FIFO granted)"
                         : "normal priority (SCHED_FIFO not granted)");
    StreamResult mtc = report("MTC quarter frames, 30 fps", quarterFrames, kQuarterFrameNs);
    StreamResult clock = report("MIDI clock, 120 BPM", clocks, kClockNs);
    printBenchLines(mtc, clock, realtime);
    return 0;
}
