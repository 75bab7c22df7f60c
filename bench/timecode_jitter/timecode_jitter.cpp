// Runs the MTC generator (30 fps) and the clock generator (120 BPM, timebase 96) together on
// the real clock for 10 seconds and reports, for the quarter frames and for the clocks:
// - the deviation of each emission from the timer's tick grid (the timer's own jitter),
// - the deviation of each emission from the ideal grid of the stream (k × ideal interval
//   after a common start): the generators emit on timer ticks, so this includes up to one
//   timer period of quantisation,
// - the deviation of each spacing from the ideal interval.
//
// Emission times are taken where the generators hand each message to the injection path,
// which then runs as usual (no output is open, so nothing leaves the process).
#include "core/client.h"
#include "cvxcore.h"
#include "isolated_home.h"
#include "jitter_stats.h"
#include "routing/injection.h"

#include <pthread.h>
#include <sched.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRunSeconds = 10;
constexpr size_t kCapacity = 4096;
constexpr uint16_t kMtcRate = 3; // 30 fps
constexpr uint16_t kTempo = 12000;
constexpr uint16_t kTimebase = 96;
constexpr double kQuarterFrameNs = 1e9 / 120.0;
constexpr double kClockNs = 60e9 / 120.0 / 24.0;

// Emission times in ns after a stream's start; filled on the timer thread, so preallocated.
struct Capture {
    int64_t startNs = 0;
    std::vector<int64_t> times = std::vector<int64_t>(kCapacity);
    std::atomic<size_t> count{0};

    void record(int64_t nowNs) {
        size_t n = count.load(std::memory_order_relaxed);
        if (n < times.size()) {
            times[n] = nowNs - startNs;
            count.store(n + 1, std::memory_order_release);
        }
    }

    std::vector<int64_t> recorded() const {
        return {times.begin(), times.begin() + static_cast<ptrdiff_t>(count.load())};
    }
};

Capture quarterFrames;
Capture clocks;
// Whether the timer thread runs with real-time priority, as a timer callback sees it.
std::atomic<bool> timerThreadRealtime{false};

void notePriority(UINT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR) {
    int policy = 0;
    sched_param param{};
    pthread_getschedparam(pthread_self(), &policy, &param);
    timerThreadRealtime.store(policy == SCHED_FIFO || policy == SCHED_RR);
}

int64_t nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

void recordAndInject(cvx::core::CvxClient& client, uint8_t status, uint8_t data1, uint8_t data2) {
    int64_t now = nowNs();
    if (status == 0xF1) {
        quarterFrames.record(now);
    } else if (status == 0xF8) {
        clocks.record(now);
    }
    cvx::core::injectGenerated(client, status, data1, data2);
}

void printRow(const char* what, const cvx::bench::ErrorSummary& s) {
    std::printf("  %-28s n=%5zu  median %8.1f us  p99 %8.1f us  max %8.1f us\n", what, s.count,
                s.medianUs, s.p99Us, s.maxUs);
}

void report(const char* name, const Capture& capture, double intervalNs, int64_t periodNs) {
    std::vector<int64_t> times = capture.recorded();
    std::printf("%s (ideal interval %.3f ms):\n", name, intervalNs / 1e6);
    printRow("vs timer tick grid",
             cvx::bench::summarise(cvx::bench::tickDeviations(times, periodNs)));
    printRow("vs ideal grid", cvx::bench::summarise(cvx::bench::gridDeviations(times, intervalNs)));
    printRow("spacing vs ideal interval",
             cvx::bench::summarise(cvx::bench::spacingErrors(times, intervalNs)));
}

} // namespace

int main(int argc, char** argv) {
    cvx::testing::ScopedIsolatedHome home;
    auto period = static_cast<uint16_t>(argc > 1 ? std::atoi(argv[1]) : 5);
    uint64_t handle = m32CreateClient(nullptr, nullptr, nullptr);
    if (handle == 0) {
        std::fprintf(stderr, "no client\n");
        return 1;
    }
    cvx::core::clientFromHandle(handle)->timeCode.send = recordAndInject;
    m32StartTimeStamp(handle);
    m32ConfigMTC(handle, kMtcRate, period, 0);
    m32ConfigSync(handle, period, kTempo, kTimebase);

    quarterFrames.startNs = nowNs();
    int mtcStarted = m32GenMTCStart(handle);
    clocks.startNs = nowNs();
    int clockStarted = m32StartClock(handle);
    if (!mtcStarted || !clockStarted) {
        std::fprintf(stderr, "generators did not start\n");
        return 1;
    }
    std::this_thread::sleep_for(std::chrono::seconds(kRunSeconds));
    m32GenMTCStop(handle, 0);
    m32StopClock(handle);
    m32DestroyClient(handle);

    timeSetEvent(1, 1, notePriority, 0, TIME_ONESHOT);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::printf("timer period %u ms, %d s, timer thread %s\n", period, kRunSeconds,
                timerThreadRealtime.load() ? "real-time" : "normal priority");
    const int64_t periodNs = int64_t{period} * 1'000'000;
    report("MTC quarter frames, 30 fps", quarterFrames, kQuarterFrameNs, periodNs);
    report("MIDI clock, 120 BPM", clocks, kClockNs, periodNs);
    return 0;
}
