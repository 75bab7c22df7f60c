// Latency of MIDI through Corvex against a direct JACK connection.
//
// Starts a private `jackd -d dummy` (default 48 kHz, 64 frames per period), opens two JACK
// clients of its own (a sender and a receiver, plain libjack) and sends numbered Note Ons
// from the sender's output port to the receiver's input port three ways:
//   direct   the two ports connected by JACK,
//   service  through the platform MIDI service alone (its JACK input's callback sends
//            each message straight to its JACK output),
//   corvex   through the engine on the JACK backend: the input routed by a CPortMap to the
//            output through a 32-item data map on the route.
// and reports median, 99th percentile and maximum of each, and what Corvex adds, in
// microseconds and in periods.
//
// Latency is counted in frames on JACK's timeline: the receiver's cycle frame plus the
// event's offset, minus the sender's. That is the delay a listener hears, and it does not
// depend on when the dummy driver's thread happened to wake: the dummy driver has no
// hardware clock, it sleeps one period between cycles, so on a loaded machine its cycles
// start late and then follow each other closely. The wall-clock time between the cycles
// (jack_get_time) is reported beside it, with how regularly the cycles started, since the
// time Corvex has to forward a message is the wall-clock time until the next cycle.
//
//   jack_latency [--messages N] [--period FRAMES] [--rate HZ] [--spacing CYCLES]
//                [--no-realtime] [--no-drain] [--quick]
// --no-drain leaves the engine's main queue alone during the Corvex run (it fills and the
// engine drops its monitor records): what the application's reading of the queue, which
// takes the engine's lock, costs the input path.
#include "forwarding_paths.h"
#include "latency_stats.h"
#include "platform/midi_service.h"
#include "probe_clients.h"
#include "support/dummy_jack_server.h"
#include "support/isolated_home.h"
#include "wake_probe.h"

#include <signal.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace cvx::bench;
using cvx::platform::DummyJackServer;
using cvx::platform::DummyServerOptions;

constexpr size_t kWarmUp = 16; // the first messages of each path are not counted
constexpr auto kGrace = std::chrono::milliseconds(2000);
constexpr uint8_t kMappedStatus = 0x91; // the route's map moves channel 1 to channel 2

std::atomic<bool> gCancel{false};

void onSignal(int) {
    gCancel = true;
}

// Short periods with real-time scheduling, as a live setup would run, under the name the
// benchmark's process is known by.
DummyServerOptions benchServerOptions() {
    DummyServerOptions server;
    server.period = 64;
    server.realtime = true;
    server.clientTimeoutMs = 5000;
    server.namePrefix = "cvxbench";
    server.numbered = false;
    return server;
}

struct Options {
    size_t messages = 1500;
    unsigned spacing = 6;
    bool drain = true; // the main queue is emptied during the Corvex run, as the program does
    DummyServerOptions server = benchServerOptions();
};

std::optional<Options> parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        const long value = hasValue ? std::strtol(argv[i + 1], nullptr, 10) : 0;
        if (arg == "--quick") {
            options.messages = 300;
        } else if (arg == "--no-drain") {
            options.drain = false;
        } else if (arg == "--no-realtime") {
            options.server.realtime = false;
        } else if (arg == "--messages" && value > static_cast<long>(kWarmUp) &&
                   value <= static_cast<long>(ProbeClients::kMaxMessages)) {
            options.messages = static_cast<size_t>(value);
            ++i;
        } else if (arg == "--period" && value >= 16 && value <= 8192) {
            options.server.period = static_cast<unsigned>(value);
            ++i;
        } else if (arg == "--rate" && value >= 8000 && value <= 192000) {
            options.server.rate = static_cast<unsigned>(value);
            ++i;
        } else if (arg == "--spacing" && value >= 1 && value <= 1000) {
            options.spacing = static_cast<unsigned>(value);
            ++i;
        } else {
            return std::nullopt;
        }
    }
    return options;
}

// What one path measured, over the messages after the warm-up.
struct PathResult {
    const char* name = "";
    Summary frames;
    Summary us;
    Summary cycleGapUs;
    double lateCycles = 0; // share of cycles that started over 1.5 periods after the last
    size_t counted = 0;
    size_t lost = 0;
    size_t unmapped = 0;        // arrived without the route map's change (corvex path only)
    double withinOnePeriod = 0; // share of the counted messages that took at most a period
};

struct Period {
    double frames = 0;
    double us = 0;
};

PathResult evaluate(const char* name, const ProbeRun& run, Period period,
                    std::optional<uint8_t> expectedStatus) {
    PathResult result;
    result.name = name;
    std::vector<double> frames;
    std::vector<double> us;
    for (size_t k = kWarmUp; k < run.sent; ++k) {
        if (!run.arrived[k]) {
            ++result.lost;
            continue;
        }
        frames.push_back(static_cast<double>(run.latencyFrames[k]));
        us.push_back(static_cast<double>(run.latencyUs[k]));
        if (expectedStatus && run.status[k] != *expectedStatus) {
            ++result.unmapped;
        }
    }
    result.counted = frames.size();
    const auto inTime =
        std::count_if(frames.begin(), frames.end(), [&](double f) { return f <= period.frames; });
    result.withinOnePeriod =
        frames.empty() ? 0 : static_cast<double>(inTime) / static_cast<double>(frames.size());
    result.frames = summarise(frames);
    result.us = summarise(us);
    std::vector<double> gaps;
    size_t late = 0;
    for (size_t c = 1; c < run.cycleUs.size(); ++c) {
        gaps.push_back(static_cast<double>(run.cycleUs[c] - run.cycleUs[c - 1]));
        late += gaps.back() > 1.5 * period.us ? 1 : 0;
    }
    result.cycleGapUs = summarise(gaps);
    result.lateCycles = gaps.empty() ? 0 : static_cast<double>(late) / gaps.size();
    return result;
}

// Sender cycle start to the service's input callback, for the messages after the warm-up.
Summary captureToCallback(const ProbeRun& run, const ServiceThru& thru) {
    std::vector<double> hops;
    for (size_t k = kWarmUp; k < run.sent; ++k) {
        if (const jack_time_t seen = thru.callbackUs(k); seen != 0 && seen >= run.sendUs[k]) {
            hops.push_back(static_cast<double>(seen - run.sendUs[k]));
        }
    }
    return summarise(hops);
}

// Of the messages on the service path that missed the cycle after the one they were sent
// in: how many reached the input callback only after that cycle had begun (held up in the
// backend's worker or the input thread), the others having been late on the way out.
struct Misses {
    size_t missed = 0;
    size_t lateAtCallback = 0;
    Summary afterNextCycleUs; // of those late at the callback: how long after the next start
};

Misses attributeMisses(const ProbeRun& run, const ServiceThru& thru, double periodFrames) {
    Misses misses;
    std::vector<double> lateBy;
    for (size_t k = kWarmUp; k < run.sent; ++k) {
        if (!run.arrived[k] || static_cast<double>(run.latencyFrames[k]) <= periodFrames) {
            continue;
        }
        ++misses.missed;
        // The message left in the cycle that started at sendUs[k]; the next start is the
        // next cycle's, before which it had to be on its way out.
        const auto next = std::upper_bound(run.cycleUs.begin(), run.cycleUs.end(), run.sendUs[k]);
        const jack_time_t seen = thru.callbackUs(k);
        if (next != run.cycleUs.end() && (seen == 0 || seen > *next)) {
            ++misses.lateAtCallback;
            if (seen != 0) {
                lateBy.push_back(static_cast<double>(seen - *next));
            }
        }
    }
    misses.afterNextCycleUs = summarise(lateBy);
    return misses;
}

class Benchmark {
public:
    explicit Benchmark(const Options& options) : options_(options) {}

    int run() {
        if (!DummyJackServer::installed()) {
            std::fprintf(stderr, "jack_latency: jackd is not installed\n");
            return 1;
        }
        if (!startServer()) {
            std::fprintf(stderr, "jack_latency: jackd -d dummy did not start\n");
            return 1;
        }
        setenv("CORVEX_MIDI", "jack", 1);
        const int status = measure();
        // Corvex's own JACK client leaves the server before the server ends.
        cvx::platform::MidiService::restartWith({});
        probes_.close();
        server_.stop();
        if (status == 0) {
            report();
        }
        return status;
    }

private:
    // Where real-time scheduling is refused, jackd may refuse to start with it: then it
    // runs without.
    bool startServer() {
        if (server_.start(options_.server)) {
            return true;
        }
        if (!options_.server.realtime) {
            return false;
        }
        DummyServerOptions plain = options_.server;
        plain.realtime = false;
        return server_.start(plain);
    }

    int fail(const std::string& why) {
        std::fprintf(stderr, "jack_latency: %s\n", why.c_str());
        return 1;
    }

    ProbeRun probe(const std::function<void()>& whileWaiting) {
        ProbeRun run =
            probes_.run(options_.messages, options_.spacing, kGrace, gCancel, whileWaiting);
        if (!gCancel && run.sent < options_.messages) {
            abandonStalledServer();
        }
        return run;
    }

    // JACK clients cannot leave a server that stopped answering: every call to it would wait
    // for good. The server is ended, and the process with it.
    [[noreturn]] void abandonStalledServer() {
        std::fprintf(stderr, "jack_latency: the JACK server stopped running its cycles\n");
        server_.stop();
        cvx::testing::removeIsolatedHome();
        std::_Exit(1);
    }

    int measure() {
        if (std::string error = probes_.open(); !error.empty()) {
            return fail(error);
        }
        period_ = {static_cast<double>(probes_.period()), probes_.period() * 1e6 / probes_.rate()};
        rate_ = probes_.rate();
        UINT input = 0;
        UINT output = 0;
        if (int status = measureDirect(); status != 0) {
            return status;
        }
        if (!findDevices(probes_.senderPort(), probes_.receiverPort(), input, output)) {
            return fail("the MIDI service does not list the benchmark's JACK ports");
        }
        if (int status = measureService(input, output); status != 0) {
            return status;
        }
        return measureCorvex(input, output);
    }

    int measureDirect() {
        DirectConnection direct;
        if (std::string error =
                direct.open(probes_.client(), probes_.senderPort(), probes_.receiverPort());
            !error.empty()) {
            return fail(error);
        }
        // The direct run also times the hand-off from a process callback to a waiting
        // thread, with and without real-time scheduling.
        WakeProbe normalWake(options_.messages, false);
        WakeProbe realtimeWake(options_.messages, true);
        probes_.setWakeProbes({&normalWake, &realtimeWake});
        direct_ = evaluate("direct JACK connection", probe([] {}), period_, std::nullopt);
        probes_.setWakeProbes({});
        direct.close();
        normalWake_ = normalWake.summary(kWarmUp);
        realtimeWake_ = realtimeWake.summary(kWarmUp);
        realtimeGranted_ = realtimeWake.scheduled();
        return gCancel ? 130 : 0;
    }

    int measureService(UINT input, UINT output) {
        ServiceThru thru(options_.messages);
        if (std::string error = thru.open(input, output); !error.empty()) {
            return fail(error);
        }
        const ProbeRun run = probe([] {});
        thru.close();
        service_ = evaluate("platform service only", run, period_, std::nullopt);
        callbackHop_ = captureToCallback(run, thru);
        serviceMisses_ = attributeMisses(run, thru, period_.frames);
        return gCancel ? 130 : 0;
    }

    int measureCorvex(UINT input, UINT output) {
        CorvexRoute route;
        if (std::string error = route.open(input, output); !error.empty()) {
            return fail(error);
        }
        const ProbeRun run = probe([&] {
            if (options_.drain) {
                route.drain();
            }
        });
        route.close();
        corvex_ = evaluate("Corvex (route + 32-item map)", run, period_, kMappedStatus);
        return gCancel ? 130 : 0;
    }

    double toUs(double frames) const { return frames * 1e6 / rate_; }

    void printPath(const PathResult& p) const {
        std::printf("  %-30s %6.0f %6.0f %6.0f frames | %8.1f %8.1f %8.1f us | %5.2f %5.2f "
                    "%5.2f periods | %.1f%% within a period | %zu counted, %zu lost\n",
                    p.name, p.frames.median, p.frames.p99, p.frames.max, toUs(p.frames.median),
                    toUs(p.frames.p99), toUs(p.frames.max), p.frames.median / period(),
                    p.frames.p99 / period(), p.frames.max / period(), 100.0 * p.withinOnePeriod,
                    p.counted, p.lost);
    }

    void printWallClock(const PathResult& p) const {
        std::printf("  %-30s sender cycle to receiver cycle %8.1f %8.1f %8.1f us; cycle "
                    "spacing %7.1f %7.1f %8.1f us, %.1f%% of cycles over 1.5 periods apart\n",
                    p.name, p.us.median, p.us.p99, p.us.max, p.cycleGapUs.median, p.cycleGapUs.p99,
                    p.cycleGapUs.max, 100.0 * p.lateCycles);
    }

    double period() const { return period_.frames; }

    void report() const {
        const double addedP99 = corvex_.frames.p99 - direct_.frames.p99;
        std::printf("jack_latency: jackd -d dummy, %.0f Hz, %.0f frames per period (%.3f us), "
                    "process threads %s\n",
                    rate_, period_.frames, period_.us,
                    probes_.realtime() ? "real-time" : "normal priority (no real-time)");
        std::printf("%zu messages per path (the first %zu not counted), one every %u "
                    "periods, sent at frame 0 of a cycle\n",
                    options_.messages, kWarmUp, options_.spacing);
        std::printf("latency on JACK's timeline (median p99 max):\n");
        for (const PathResult* p : {&direct_, &service_, &corvex_}) {
            printPath(*p);
        }
        std::printf("wall clock (jack_get_time; the dummy driver sleeps a period per cycle):\n");
        for (const PathResult* p : {&direct_, &service_, &corvex_}) {
            printWallClock(*p);
        }
        std::printf("JACK capture to the service's input callback (backend worker and input "
                    "thread): median %.1f us, p99 %.1f us, max %.1f us\n",
                    callbackHop_.median, callbackHop_.p99, callbackHop_.max);
        std::printf("platform service only: %zu messages missed the next cycle, %zu of them "
                    "reached the input callback after that cycle had begun (by median %.1f us, "
                    "max %.1f us)\n",
                    serviceMisses_.missed, serviceMisses_.lateAtCallback,
                    serviceMisses_.afterNextCycleUs.median, serviceMisses_.afterNextCycleUs.max);
        std::printf("a thread woken from the JACK process callback runs after: normal "
                    "priority median %.1f us, p99 %.1f us, max %.1f us; real-time%s median %.1f "
                    "us, p99 %.1f us, max %.1f us\n",
                    normalWake_.median, normalWake_.p99, normalWake_.max,
                    realtimeGranted_ ? "" : " (refused, so normal)", realtimeWake_.median,
                    realtimeWake_.p99, realtimeWake_.max);
        std::printf("Corvex adds at p99: %.0f frames = %.1f us = %.2f periods (target <= 1 "
                    "period): %s\n",
                    addedP99, toUs(addedP99), addedP99 / period(),
                    addedP99 <= period() ? "met" : "missed");
        if (corvex_.unmapped > 0) {
            std::printf("warning: %zu messages came through Corvex without the route map's "
                        "change\n",
                        corvex_.unmapped);
        }
        printBenchLines(addedP99);
        std::fflush(stdout);
    }

    void printBenchLines(double addedP99) const {
        const std::string onePeriod = benchNumber(period_.us) + " us";
        const auto line = [](const std::string& text) { std::printf("%s\n", text.c_str()); };
        line(benchLine("JACK latency median", toUs(corvex_.frames.median),
                       toUs(direct_.frames.median), "us", "-"));
        line(benchLine("JACK latency p99", toUs(corvex_.frames.p99), toUs(direct_.frames.p99), "us",
                       "<= direct + 1 period (" + onePeriod + ")"));
        line(benchLine("JACK latency max", toUs(corvex_.frames.max), toUs(direct_.frames.max), "us",
                       "-"));
        line(benchLine("JACK added latency p99", addedP99 / period(), std::nullopt, "periods",
                       "<= 1"));
        line(benchLine("JACK messages within one period", 100.0 * corvex_.withinOnePeriod,
                       100.0 * direct_.withinOnePeriod, "%", ">= 99 %"));
        line(benchLine("JACK service-only latency p99", toUs(service_.frames.p99),
                       toUs(direct_.frames.p99), "us", "-"));
        line(benchLine("JACK capture to input callback p99", callbackHop_.p99, std::nullopt, "us",
                       "< 1 period (" + onePeriod + ")"));
        line(benchLine("JACK service misses late at the input callback (of all misses)",
                       static_cast<double>(serviceMisses_.lateAtCallback),
                       static_cast<double>(serviceMisses_.missed), "msgs", "-"));
        line(benchLine("JACK thread wake-up p99, normal priority", normalWake_.p99, std::nullopt,
                       "us", "-"));
        line(benchLine("JACK thread wake-up p99, real-time", realtimeWake_.p99, std::nullopt, "us",
                       "-"));
        line(benchLine("JACK messages lost", static_cast<double>(corvex_.lost),
                       static_cast<double>(direct_.lost), "msgs", "0"));
    }

    Options options_;
    DummyJackServer server_;
    ProbeClients probes_;
    Period period_;
    double rate_ = 48000;
    PathResult direct_;
    PathResult service_;
    PathResult corvex_;
    Summary callbackHop_;
    Misses serviceMisses_;
    Summary normalWake_;
    Summary realtimeWake_;
    bool realtimeGranted_ = false;
};

} // namespace

int main(int argc, char** argv) {
    const std::optional<Options> options = parse(argc, argv);
    if (!options) {
        std::fprintf(stderr, "usage: jack_latency [--messages N] [--period FRAMES] [--rate HZ] "
                             "[--spacing CYCLES] [--no-realtime] [--no-drain] [--quick]\n");
        return 2;
    }
    cvx::testing::ScopedIsolatedHome home; // the engine's files never reach the real home
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    Benchmark benchmark(*options);
    return benchmark.run();
}
