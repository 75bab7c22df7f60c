// Latency of one message through the engine on the loopback cables: fed on input 0, parsed
// on the MIDI service's input thread, filtered, routed to output 1 and visible to vmidiTake.
// Meanwhile a load thread feeds 10,000 messages/s into input 2, routed to output 3.
// For comparison the same message injected as a generated event (no input thread on the
// way: the send runs on the calling thread) is timed to the same tap.
// Usage: loopback_latency [probes]
#include "bench_line.h"
#include "cvxcore.h"
#include "jitter_stats.h"
#include "support/isolated_home.h"
#include "vmidi.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <thread>
#include <vector>

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr unsigned kProbeInput = 0;
constexpr unsigned kProbeOutput = 1;
constexpr unsigned kLoadInput = 2;
constexpr unsigned kLoadOutput = 3;
constexpr int kLoadPerMs = 10; // 10,000 messages/s
constexpr int kDefaultProbes = 5000;
constexpr int64_t kGiveUpNs = 1'000'000'000;
constexpr uint32_t kAllMessages = 0x7FFFF;

int64_t nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               SteadyClock::now().time_since_epoch())
        .count();
}

CPortMap routedFrom(uint32_t input) {
    CPortMap map{};
    map.inputBits[input / 32] = 1u << (input % 32);
    map.inputMasks[input] = kAllMessages;
    return map;
}

// Feeds kLoadPerMs note messages every millisecond (absolute deadlines) until stopped, and
// empties the load output's tap now and then.
class BackgroundLoad {
public:
    void start() {
        thread_ = std::thread([this] { run(); });
    }
    void stop() {
        stop_.store(true);
        thread_.join();
    }
    uint64_t fed() const { return fed_.load(); }

private:
    void run() {
        std::vector<unsigned char> bytes;
        for (int i = 0; i < kLoadPerMs; ++i) {
            bytes.insert(bytes.end(), {0x91, static_cast<unsigned char>(40 + i), 64});
        }
        std::vector<unsigned char> sink(1 << 16);
        timespec next{};
        clock_gettime(CLOCK_MONOTONIC, &next);
        for (unsigned tick = 0; !stop_.load(); ++tick) {
            next.tv_nsec += 1'000'000;
            if (next.tv_nsec >= 1'000'000'000) {
                next.tv_nsec -= 1'000'000'000;
                ++next.tv_sec;
            }
            clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr);
            vmidiFeed(kLoadInput, bytes.data(), static_cast<unsigned>(bytes.size()));
            fed_.fetch_add(kLoadPerMs);
            if (tick % 16 == 0) {
                vmidiTake(kLoadOutput, sink.data(), static_cast<unsigned>(sink.size()));
            }
        }
    }

    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<uint64_t> fed_{0};
};

// Waits (spinning) until the probe output shows bytes; the time it took, or -1.
int64_t waitForProbe(int64_t sentNs) {
    unsigned char buffer[64];
    for (;;) {
        if (vmidiTake(kProbeOutput, buffer, sizeof buffer) > 0) {
            return nowNs() - sentNs;
        }
        if (nowNs() - sentNs > kGiveUpNs) {
            return -1;
        }
    }
}

void drainMainQueue(uint64_t client) {
    EVENT event{};
    while (m32GetEvent(client, &event, MON_MAIN)) {
    }
}

// Pauses 200-700 us between probes, varied so they do not lock to the load's rhythm.
void pauseBetweenProbes(int probe) {
    auto us = 200 + (probe * 7919) % 500;
    std::this_thread::sleep_for(std::chrono::microseconds(us));
}

struct Latencies {
    std::vector<int64_t> fed;
    std::vector<int64_t> injected;
    int lost = 0;
};

Latencies measure(uint64_t client, int probes) {
    Latencies result;
    for (int i = 0; i < probes; ++i) {
        auto key = static_cast<unsigned char>(60 + i % 12);
        unsigned char note[] = {0x90, key, static_cast<unsigned char>(i % 2 ? 0 : 100)};
        int64_t sent = nowNs();
        vmidiFeed(kProbeInput, note, sizeof note);
        int64_t fed = waitForProbe(sent);
        sent = nowNs();
        m32corvexEvent(client, 0x90, 0, key, 100, 0);
        int64_t injected = waitForProbe(sent);
        if (fed < 0 || injected < 0) {
            ++result.lost;
        } else {
            result.fed.push_back(fed);
            result.injected.push_back(injected);
        }
        drainMainQueue(client);
        pauseBetweenProbes(i);
    }
    return result;
}

void printRow(const char* what, const cvx::bench::ErrorSummary& s) {
    std::printf("  %-34s n=%5zu  median %8.1f us  p99 %8.1f us  max %8.1f us\n", what, s.count,
                s.medianUs, s.p99Us, s.maxUs);
}

} // namespace

int main(int argc, char** argv) {
    cvx::testing::ScopedIsolatedHome home;
    setenv("CORVEX_MIDI", "virtual", 1);
    int probes = argc > 1 ? std::atoi(argv[1]) : kDefaultProbes;
    CFilter filter{};
    uint64_t client = m32CreateClient(nullptr, nullptr, &filter);
    if (client == 0 || probes <= 0) {
        std::fprintf(stderr, "usage: loopback_latency [probes]; no client made\n");
        return 1;
    }
    HMIDIIN probeIn = nullptr;
    HMIDIIN loadIn = nullptr;
    HMIDIOUT probeOut = nullptr;
    HMIDIOUT loadOut = nullptr;
    CPortMap probeRoute = routedFrom(kProbeInput);
    // The generated-event port (135) reaches the probe output too, for the injected probes.
    probeRoute.inputBits[135 / 32] |= 1u << (135 % 32);
    probeRoute.inputMasks[135] = kAllMessages;
    CPortMap loadRoute = routedFrom(kLoadInput);
    if (vx16OpenMidiIn(&probeIn, kProbeInput, client) != 0 ||
        vx16OpenMidiIn(&loadIn, kLoadInput, client) != 0 ||
        vx16OpenMidiOut(&probeOut, kProbeOutput, 0, &probeRoute, client) != 0 ||
        vx16OpenMidiOut(&loadOut, kLoadOutput, 0, &loadRoute, client) != 0) {
        std::fprintf(stderr, "the loopback cables could not be opened\n");
        return 1;
    }
    m32StartTimeStamp(client);
    m32StartMidiIn(probeIn);
    m32StartMidiIn(loadIn);

    BackgroundLoad load;
    load.start();
    auto started = SteadyClock::now();
    Latencies latencies = measure(client, probes);
    double seconds = std::chrono::duration<double>(SteadyClock::now() - started).count();
    load.stop();

    m32CloseMidiIn(probeIn, client);
    m32CloseMidiIn(loadIn, client);
    m32CloseMidiOut(probeOut, client);
    m32CloseMidiOut(loadOut, client);
    m32DestroyClient(client);

    cvx::bench::ErrorSummary fed = cvx::bench::summarise(latencies.fed);
    cvx::bench::ErrorSummary injected = cvx::bench::summarise(latencies.injected);
    std::printf("%d probes over %.1f s, background load %.0f messages/s on another cable, "
                "%d lost\n",
                probes, seconds, double(load.fed()) / seconds, latencies.lost);
    printRow("feed -> input thread -> routed -> tap", fed);
    printRow("inject -> routed -> tap", injected);
    cvx::bench::printBenchLine("loopback latency median", fed.medianUs, std::nullopt, "us", "-");
    cvx::bench::printBenchLine("loopback latency p99", fed.p99Us, std::nullopt, "us", "<= 200 us");
    cvx::bench::printBenchLine("injection latency p99", injected.p99Us, std::nullopt, "us", "-");
    return latencies.lost == 0 ? 0 : 1;
}
