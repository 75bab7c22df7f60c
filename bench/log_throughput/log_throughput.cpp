// Feeds notes, controllers and pitch bends into loopback input 1 at a steady rate with the
// main monitor open and painting (offscreen), the status data and a log following every line
// it stores, once per log format. Reports, per format, the events fed and the events found in
// the closed log file (lost = fed - logged), the user-interface thread's stalls (how late a
// probe posted every 5 ms was delivered) and the time the thread spent in the log and status
// code per second of load, with its longest single call (a buffer written to the file).
#include "views/log_writer.h"
#include "views/monitor_window.h"
#include "views/status_tools.h"

#include "bench/monitor_load.h"
#include "cvxlib.h"
#include "support/isolated_home.h"
#include "vmidi.h"

#include <QApplication>
#include <QMetaObject>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr unsigned kInputCable = 0;

// The events a closed log holds: lines between the opening and closing lines (Normal, MIDI
// to Text), or message tokens (Raw).
long eventsInLog(const std::string& path, corvex::LogFormat format) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    const std::string text = all.str();
    if (format == corvex::LogFormat::Raw) {
        std::istringstream words(text);
        long tokens = 0;
        for (std::string word; words >> word;) {
            tokens +=
                word.size() == 6 && word.find_first_not_of("0123456789ABCDEF") == std::string::npos;
        }
        return tokens;
    }
    const long lines = static_cast<long>(std::count(text.begin(), text.end(), '\n'));
    return format == corvex::LogFormat::Normal ? lines - 4 : lines - 9;
}

struct Phase {
    const char* name;
    corvex::LogFormat format;
};

} // namespace

int main(int argc, char** argv) {
    cvx::testing::ScopedIsolatedHome home;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("CORVEX_MIDI", "virtual", 0);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const int rate = argc > 2 ? std::max(1000, std::atoi(argv[2])) : 50000;
    QApplication application(argc, argv);

    InitCallBack();
    corvex::EventText text;
    corvex::MonitorWindow mainMonitor(corvex::MonitorKind::Main, text);
    CFilter filter{};
    const uint64_t client = CreateClient(mainMonitor.hwnd(), nullptr, &filter);
    if (client == 0 || !mainMonitor.attach(client)) {
        std::fprintf(stderr, "log_throughput: no engine client\n");
        return 1;
    }
    mainMonitor.setGeometry(0, 0, 640, 400);
    mainMonitor.show();
    HMIDIIN input = nullptr;
    if (OpenMidiIn(&input, kInputCable, client) != MMSYSERR_NOERROR) {
        std::fprintf(stderr, "log_throughput: cannot open the loopback input\n");
        return 1;
    }
    StartTimeStamp(client);
    StartMidiIn(input);

    corvex::DisplaySettings display;
    corvex::StatusTools status(display, [](uint32_t) {});
    corvex::LogWriter log;
    std::string line;
    double busySeconds = 0;
    double longestCallMs = 0;
    mainMonitor.model().setLineObserver([&](const corvex::MonitorLine& record) {
        const auto begin = Clock::now();
        status.follow(record);
        corvex::formatMonitorLine(text, record, mainMonitor.model().numberStyle(), line);
        log.write(record, line);
        const double took = std::chrono::duration<double>(Clock::now() - begin).count();
        busySeconds += took;
        longestCallMs = std::max(longestCallMs, took * 1000);
    });

    const std::string folder = std::filesystem::temp_directory_path() / "cvx_log_throughput";
    std::filesystem::create_directories(folder);
    const Phase phases[] = {{"Normal", corvex::LogFormat::Normal},
                            {"MIDI to Text", corvex::LogFormat::MidiToText},
                            {"Raw", corvex::LogFormat::Raw}};
    long totalLost = 0;
    double worstStallP99 = 0;
    for (const Phase& phase : phases) {
        const std::string path = folder + "/log.txt";
        if (const std::string problem =
                log.open(path, phase.format, false, "Corvex", "bench", corvex::logDateTextNow());
            !problem.empty()) {
            std::fprintf(stderr, "log_throughput: %s\n", problem.c_str());
            return 1;
        }
        busySeconds = 0;
        longestCallMs = 0;
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
        std::atomic<long> fed{0};
        const auto start = Clock::now();
        Clock::time_point fedAll;
        std::thread feeder([&] {
            cvx::bench::feedMonitorLoad(kInputCable, seconds, rate, fed);
            fedAll = Clock::now();
            vmidiSettle();
            QMetaObject::invokeMethod(&application, [&] {
                QTimer::singleShot(500, &application, [] { QApplication::exit(0); });
            });
        });
        application.exec();
        feeder.join();
        probing = false;
        probe.join();
        QCoreApplication::processEvents(); // probes still posted
        mainMonitor.drain();
        log.close(corvex::logDateTextNow());
        const double elapsed = std::chrono::duration<double>(fedAll - start).count();
        const long logged = eventsInLog(path, phase.format);
        const long lost = fed.load() - logged;
        totalLost += lost;
        const double p99 = cvx::bench::percentile(stallsMs, 0.99);
        worstStallP99 = std::max(worstStallP99, p99);
        std::printf("%s: fed %ld events in %.2f s, logged %ld, lost %ld; stall ms p50 %.2f p99 "
                    "%.2f max %.2f; logging and status %.1f ms per second of load, longest "
                    "call %.3f ms; write failed: %s\n",
                    phase.name, fed.load(), elapsed, logged, lost,
                    cvx::bench::percentile(stallsMs, 0.5), p99,
                    stallsMs.empty() ? 0.0 : *std::max_element(stallsMs.begin(), stallsMs.end()),
                    busySeconds * 1000 / elapsed, longestCallMs, log.writeFailed() ? "yes" : "no");
        std::printf("BENCH\tLog rate, %s\t%.3f\t%.3f\tevents/s\t= the rate fed\n", phase.name,
                    static_cast<double>(logged) / elapsed,
                    static_cast<double>(fed.load()) / elapsed);
        std::printf("BENCH\tLogging and status time, %s\t%.3f\t-\tms per s\t-\n", phase.name,
                    busySeconds * 1000 / elapsed);
        std::filesystem::remove(path);
    }
    std::printf("BENCH\tLog events lost (three formats)\t%ld\t-\tevents\t0\n", totalLost);
    std::printf("BENCH\tUser-interface stall p99 while logging\t%.3f\t-\tms\t< the monitors' "
                "figure\n",
                worstStallP99);

    CloseMidiIn(input, client);
    DestroyClient(client);
    FreeCallBack();
    std::filesystem::remove_all(folder);
    return 0;
}
