// What the device log says about lost data when the ports close: the lines themselves, and
// the device manager writing the engine's counts for a real overrun and a full queue.
#include "device_test_support.h"
#include "loss_report.h"
#include "midi.h"

#include "cvxlib.h"
#include "vmidi.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace corvex::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr size_t kQueueCapacity = 2400;

TEST(LossReportTest, OneLinePerPortThatLostAndPerQueueThatDroppedSinceLastTime) {
    CPortCounters counters{};
    counters.inputOverruns[0] = 12;
    counters.inputRejects[0] = 1;
    counters.inputRejects[2] = 3;
    counters.outputFailures[1] = 4;
    counters.outputFailures[5] = 9; // not a listed port: not reported
    counters.queueDrops[MON_MAIN] = 100;
    LossReport report;
    const std::vector<LossReportPort> inputs = {{0, "Keys"}, {1, "Quiet"}, {2, "Pads"}};
    const std::vector<LossReportPort> outputs = {{1, "Synth"}, {-1, "Nowhere"}};
    EXPECT_THAT(
        report.lines(counters, inputs, outputs),
        ElementsAre(" << In:  Lost-Data:             0, Keys: 12 deliveries lost before the "
                    "engine (overrun), 1 SysEx buffers not handed over",
                    " << In:  Lost-Data:             2, Pads: 3 SysEx buffers not handed over",
                    " >> Out: Lost-Data:             1, Synth: 4 sends failed",
                    " == Queue: Lost-Data:             Main: 100 events dropped, the queue was "
                    "full"));

    // Queue counts run for the whole client: only what is new is reported again.
    counters.queueDrops[MON_MAIN] = 130;
    counters.queueDrops[MON_RAW_INPUT] = 2;
    EXPECT_THAT(report.lines(counters, {}, {}),
                ElementsAre(HasSubstr("Input Monitor: 2 events"), HasSubstr("Main: 30 events")));
    EXPECT_TRUE(report.lines(counters, {}, {}).empty());
    report.restart();
    EXPECT_EQ(report.lines(counters, {}, {}).size(), 2u);
}

// Feeds `records` deliveries to input `target` from the service's input thread, where
// vmidiFeed never waits: what does not fit the input's ring is lost. Triggered through
// input `trigger`, which this opens itself.
void floodFromTheInputThread(unsigned trigger, unsigned target, int records) {
    struct Flood {
        unsigned target;
        int records;
        std::vector<unsigned char> record;
        std::atomic<bool> done{false};
    } flood{target, records, {}, {}};
    for (int i = 0; i < 1365; ++i) {
        flood.record.insert(flood.record.end(), {0xB0, 7, static_cast<unsigned char>(i % 128)});
    }
    auto callback = [](HMIDIIN, UINT msg, DWORD_PTR instance, DWORD_PTR, DWORD_PTR) {
        auto* self = reinterpret_cast<Flood*>(instance);
        if (msg != MIM_DATA || self->done.exchange(true)) {
            return;
        }
        for (int i = 0; i < self->records; ++i) {
            vmidiFeed(self->target, self->record.data(),
                      static_cast<unsigned>(self->record.size()));
        }
    };
    HMIDIIN handle = nullptr;
    LPMIDICALLBACK function = callback;
    ASSERT_EQ(midiInOpen(&handle, trigger, reinterpret_cast<DWORD_PTR>(function),
                         reinterpret_cast<DWORD_PTR>(&flood), CALLBACK_FUNCTION),
              MMSYSERR_NOERROR);
    ASSERT_EQ(midiInStart(handle), MMSYSERR_NOERROR);
    const unsigned char go = 0xF8;
    vmidiFeed(trigger, &go, 1);
    vmidiSettle();
    vmidiSettle();
    midiInStop(handle);
    midiInClose(handle);
}

std::vector<std::string> lostDataLines(const std::string& path) {
    bool crLf = false;
    std::vector<std::string> lines = readCrLfLines(path, crLf);
    EXPECT_TRUE(crLf);
    std::erase_if(lines, [](const std::string& line) {
        return line.find("Lost-Data:") == std::string::npos;
    });
    return lines;
}

TEST(DeviceLossLogTest, ClosingThePortsLogsWhatTheEngineCounted) {
    RecordingTarget target;
    RecordingUi ui;
    MemoryGuard guard;
    PlatformDeviceQuery query;
    CMidi midi(ui, guard, query);
    DeviceSettings settings;
    settings.selection.inputs = {"Corvex Loopback 1"};
    settings.selection.outputs = {"Corvex Loopback 2"};
    midi.configure(settings);
    midi.createClient(target.hwnd(), nullptr, CFilter{});
    midi.enumerateDevices();
    midi.restoreSelections();
    ASSERT_TRUE(midi.openPorts());
    // What earlier tests left on the cable is not part of the count.
    vmidiSettle();
    takeSent(1);

    // Nobody reads the main queue: of everything sent, only 2400 records fit.
    floodFromTheInputThread(2, 0, 100);
    CPortCounters counters{};
    counters.cbStruct = sizeof counters;
    ASSERT_EQ(GetPortCounters(midi.client(), &counters), 1);
    const uint64_t overruns = counters.inputOverruns[0];
    const uint64_t drops = counters.queueDrops[MON_MAIN];
    ASSERT_GT(overruns, 0u);
    ASSERT_GT(drops, 0u);
    EXPECT_EQ(takeSent(1).size() / 3, drops + kQueueCapacity);

    midi.closePorts();
    const std::vector<std::string> logged = lostDataLines(midi.logPath());
    EXPECT_THAT(logged,
                ElementsAre(" << In:  Lost-Data:             0, Corvex Loopback 1: " +
                                std::to_string(overruns) +
                                " deliveries lost before the engine (overrun)",
                            " == Queue: Lost-Data:             Main: " + std::to_string(drops) +
                                " events dropped, the queue was full"));

    // A clean second opening adds nothing.
    ASSERT_TRUE(midi.openPorts());
    midi.closePorts();
    EXPECT_EQ(lostDataLines(midi.logPath()), logged);
    midi.destroyClient();
}

} // namespace
} // namespace corvex::testing
