// The monitors' feed on a real engine client: messages fed into a loopback input come out of
// the main queue and the raw input queue as monitor lines, SysEx with its bytes.
#include "views/engine_monitor_feed.h"
#include "views/monitor_model.h"

#include "cvxlib.h"
#include "vmidi.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

namespace corvex {
namespace {

constexpr uint16_t kCable = 0;

class EngineMonitorFeedTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { setenv("CORVEX_MIDI", "virtual", 1); }

    void SetUp() override {
        ASSERT_EQ(InitCallBack(), 1);
        window = cvxWindowCreate(&EngineMonitorFeedTest::record, this);
        ASSERT_NE(window, nullptr);
        CFilter filter{};
        client = CreateClient(window, nullptr, &filter);
        ASSERT_NE(client, 0u);
        discardCachedEvents();
        ASSERT_EQ(OpenMidiIn(&input, kCable, client), MMSYSERR_NOERROR);
        ASSERT_EQ(AllocSyxBufIn(input, client, 256), 1);
        StartTimeStamp(client);
        ASSERT_EQ(StartMidiIn(input), MMSYSERR_NOERROR);
    }

    void TearDown() override {
        CloseMidiIn(input, client);
        vmidiSettle();
        DestroyClient(client);
        cvxWindowDestroy(window);
        discardCachedEvents();
        FreeCallBack();
    }

    // The engine's read caches are process-wide: nothing an earlier test left may show here.
    static void discardCachedEvents() {
        EVENT e{};
        for (MonID id = MON_RAW_INPUT; id <= MON_SCRIPT; ++id) {
            while (GetEvent(0, &e, id)) {
            }
        }
    }

    static void record(void* user, uint32_t msg, uintptr_t, intptr_t lParam) {
        auto* self = static_cast<EngineMonitorFeedTest*>(user);
        if (msg == WM_CVX_SYSEXDATA) {
            self->lentHeader.store(static_cast<uint64_t>(lParam));
        }
    }

    void feed(const std::vector<uint8_t>& bytes) {
        ASSERT_EQ(vmidiFeed(kCable, bytes.data(), static_cast<unsigned>(bytes.size())), 1);
        vmidiSettle();
    }

    // Drains until the model holds `count` lines or ten seconds pass.
    void drainUntil(MonitorModel& model, MonitorFeed& feed, size_t count) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (model.lineCount() < count && std::chrono::steady_clock::now() < deadline) {
            model.drain(feed);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    HWND window = nullptr;
    uint64_t client = 0;
    HMIDIIN input = nullptr;
    std::atomic<uint64_t> lentHeader{0};
};

TEST_F(EngineMonitorFeedTest, MainQueueEventsAndSysExBecomeLines) {
    EventText text;
    MonitorModel model(text);
    EngineMonitorFeed feedOfMain(client, MON_MAIN);
    feed({0x90, 60, 100, 0xB3, 7, 2, 0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7});
    drainUntil(model, feedOfMain, 4);

    ASSERT_EQ(model.lineCount(), 4u);
    EXPECT_EQ(model.lineText(0).substr(11),
              " 1  --     90    3C    64    1  C  4 Note On               ");
    EXPECT_EQ(model.lineText(1).substr(38), "  4  ---  CC: Volume            ");
    EXPECT_EQ(model.lineText(2).substr(18), "    F0  Buffer:     6 Bytes   System Exclusive      ");
    EXPECT_EQ(model.lineText(3), " SYSX: F0 7E 7F 09 01 F7");

    const uint64_t header = lentHeader.load();
    ASSERT_NE(header, 0u) << "the buffer is lent to the main window";
    EXPECT_EQ(RetBuf(input, header), MMSYSERR_NOERROR);
}

TEST_F(EngineMonitorFeedTest, RawInputQueueFeedsTheInputMonitor) {
    HWND rawWindow = cvxWindowCreate([](void*, uint32_t, uintptr_t, intptr_t) {}, nullptr);
    ASSERT_EQ(AttachRawMonitor(client, rawWindow), 1);
    EventText text;
    MonitorModel model(text);
    EngineMonitorFeed feedOfRaw(client, MON_RAW_INPUT);
    feed({0xC9, 5});
    drainUntil(model, feedOfRaw, 1);
    ASSERT_EQ(model.lineCount(), 1u);
    EXPECT_EQ(model.lineText(0).substr(48), "Program Change        ");
    EXPECT_EQ(DetachRawMonitor(client), 1);
    cvxWindowDestroy(rawWindow);
}

TEST(EngineMonitorFeed, WithoutAClientNothingArrives) {
    EngineMonitorFeed feed(0, MON_MAIN);
    EVENT e{};
    EXPECT_FALSE(feed.nextEvent(e));
    EXPECT_EQ(feed.sysexPiece(0, 6).count, 0);
}

} // namespace
} // namespace corvex
