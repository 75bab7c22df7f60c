// Feeds a mix of notes, controllers and pitch bends into loopback input 1 at a steady rate, routed
// to loopback output 2, with the main and the input monitor open and painting (offscreen). Reports
// the events each monitor drained per second, the user-interface thread's stalls (how late a probe
// posted every 5 ms was delivered: p50, p99, max), events lost on the way (fed but never shown) and
// the resident memory before, after two seconds and at the end.
#include "views/monitor_window.h"

#include "bench/monitor_load.h"
#include "cvxlib.h"
#include "support/isolated_home.h"
#include "vmidi.h"

#include <QApplication>
#include <QMetaObject>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr unsigned kInputCable = 0;
constexpr unsigned kOutputCable = 1;

long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word) {
        if (word == "VmRSS:") {
            long kib = 0;
            status >> kib;
            return kib;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    cvx::testing::ScopedIsolatedHome home; // the engine's folder never lands in the real home
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("CORVEX_MIDI", "virtual", 0);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const int rate = argc > 2 ? std::max(1000, std::atoi(argv[2])) : 50000;
    // A third argument names a PNG file that gets a picture of the screen at the end (for
    // runs on a real display server such as Xvfb, with QT_QPA_PLATFORM=xcb).
    const char* screenshot = argc > 3 ? argv[3] : nullptr;
    QApplication application(argc, argv);

    InitCallBack();
    corvex::EventText text;
    corvex::MonitorWindow mainMonitor(corvex::MonitorKind::Main, text);
    CFilter filter{};
    const uint64_t client = CreateClient(mainMonitor.hwnd(), nullptr, &filter);
    corvex::MonitorWindow inputMonitor(corvex::MonitorKind::Input, text);
    if (client == 0 || !mainMonitor.attach(client) || !inputMonitor.attach(client)) {
        std::fprintf(stderr, "monitor_throughput: no engine client\n");
        return 1;
    }
    mainMonitor.setGeometry(0, 0, 640, 400);
    inputMonitor.setGeometry(0, 440, 640, 400);
    mainMonitor.show();
    inputMonitor.show();
    CPortMap map{};
    map.inputBits[0] = 1u << kInputCable;
    map.inputMasks[kInputCable] = 0x7FFFF;
    HMIDIOUT output = nullptr;
    HMIDIIN input = nullptr;
    if (OpenMidiOut(&output, kOutputCable, 0, &map, client) != MMSYSERR_NOERROR ||
        OpenMidiIn(&input, kInputCable, client) != MMSYSERR_NOERROR) {
        std::fprintf(stderr, "monitor_throughput: cannot open the loopback cables\n");
        return 1;
    }
    StartTimeStamp(client);
    StartMidiIn(input);

    long drainedMain = 0;
    long drainedInput = 0;
    QObject::connect(&mainMonitor, &corvex::MonitorWindow::linesAdded,
                     [&](size_t n) { drainedMain += static_cast<long>(n); });
    QObject::connect(&inputMonitor, &corvex::MonitorWindow::linesAdded,
                     [&](size_t n) { drainedInput += static_cast<long>(n); });

    std::vector<double> stallsMs;
    std::atomic<bool> probing{true};
    std::thread probe([&] {
        while (probing) {
            const auto sent = Clock::now();
            QMetaObject::invokeMethod(&application, [&stallsMs, sent] {
                stallsMs.push_back(
                    std::chrono::duration<double, std::milli>(Clock::now() - sent).count());
            });
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });

    const long rssBefore = residentKiB();
    std::atomic<long> fed{0};
    const auto start = Clock::now();
    Clock::time_point fedAll;
    std::thread feeder([&] {
        cvx::bench::feedMonitorLoad(kInputCable, seconds, rate, fed);
        fedAll = Clock::now();
        vmidiSettle();
        // Let the last notifications arrive, then stop.
        QMetaObject::invokeMethod(&application, [&] {
            QTimer::singleShot(500, &application, [] { QApplication::exit(0); });
        });
    });
    long rssWarm = 0;
    QTimer::singleShot(2000, &application, [&] { rssWarm = residentKiB(); });
    application.exec();
    feeder.join();
    const double elapsed = std::chrono::duration<double>(fedAll - start).count();
    probing = false;
    probe.join();
    mainMonitor.drain();
    inputMonitor.drain();
    if (screenshot != nullptr) {
        QTest::qWait(200);
        QGuiApplication::primaryScreen()->grabWindow(0).save(screenshot);
    }
    const long rssAfter = residentKiB();

    std::printf("fed %ld events in %.2f s (%.0f events/s asked)\n", fed.load(), elapsed,
                static_cast<double>(rate));
    std::printf("main monitor drained %ld (%.0f events/s), lost %ld\n", drainedMain,
                static_cast<double>(drainedMain) / elapsed, fed.load() - drainedMain);
    std::printf("input monitor drained %ld (%.0f events/s), lost %ld\n", drainedInput,
                static_cast<double>(drainedInput) / elapsed, fed.load() - drainedInput);
    std::printf("user-interface stall ms: p50 %.2f  p99 %.2f  max %.2f (%zu probes)\n",
                cvx::bench::percentile(stallsMs, 0.5), cvx::bench::percentile(stallsMs, 0.99),
                stallsMs.empty() ? 0.0 : *std::max_element(stallsMs.begin(), stallsMs.end()),
                stallsMs.size());
    std::printf("resident memory KiB: before %ld  after 2 s %ld  at the end %ld\n", rssBefore,
                rssWarm, rssAfter);
    // The same figures for the benchmark runner (scripts/bench); the anchor is the rate
    // actually fed, which a monitor that keeps up drains in full.
    const double fedRate = static_cast<double>(fed.load()) / elapsed;
    std::printf("BENCH\tMain monitor drain rate\t%.3f\t%.3f\tevents/s\t= the rate fed\n",
                static_cast<double>(drainedMain) / elapsed, fedRate);
    std::printf("BENCH\tInput monitor drain rate\t%.3f\t%.3f\tevents/s\t= the rate fed\n",
                static_cast<double>(drainedInput) / elapsed, fedRate);
    std::printf("BENCH\tMonitor events lost (main + input)\t%ld\t-\tevents\t0\n",
                2 * fed.load() - drainedMain - drainedInput);
    std::printf("BENCH\tUser-interface stall p99 under monitor load\t%.3f\t-\tms\t-\n",
                cvx::bench::percentile(stallsMs, 0.99));
    std::printf("BENCH\tMonitor memory growth after warm-up\t%ld\t-\tKiB\t-\n", rssAfter - rssWarm);

    CloseMidiIn(input, client);
    CloseMidiOut(output, client);
    DestroyClient(client);
    FreeCallBack();
    return 0;
}
