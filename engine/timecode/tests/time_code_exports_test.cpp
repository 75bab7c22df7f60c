#include "client_fixture.h"
#include "generated_recorder.h"
#include "vmidi.h"

#include <gtest/gtest.h>

#include <vector>

namespace cvx::test {
namespace {

constexpr uint32_t packed(uint32_t h, uint32_t m, uint32_t s, uint32_t f) {
    return h << 24 | m << 16 | s << 8 | f;
}

class TimeCodeExportsTest : public ClientTest {
protected:
    void SetUp() override {
        ClientTest::SetUp();
        sentMessages().clear();
        client->timeCode.send = recordGenerated;
    }

    void TearDown() override {
        m32GenMTCStop(handle, 0);
        m32StopClock(handle);
        ClientTest::TearDown();
    }

    std::vector<uint8_t> quarterFrameData() const {
        std::vector<uint8_t> data;
        for (const SentMessage& m : sentMessages()) {
            if (m.status == 0xF1) {
                data.push_back(m.data1);
            }
        }
        return data;
    }
};

TEST_F(TimeCodeExportsTest, GeneratorStartedWithoutConfigurationRunsAtThirtyFps) {
    ASSERT_EQ(m32GenMTCStart(handle), 1);
    cvxClockAdvance(10'000);
    EXPECT_NEAR(double(countSent(0xF1)), 1200.0, 1.0);
    std::vector<uint8_t> data = quarterFrameData();
    std::vector<uint8_t> first(data.begin(), data.begin() + 8);
    EXPECT_EQ(first, (std::vector<uint8_t>{0x00, 0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x76}));
}

TEST_F(TimeCodeExportsTest, QuarterFramesCarryTheConfiguredStartOnTimerTicks) {
    ASSERT_EQ(m32ConfigMTC(handle, 1, 5, packed(1, 2, 3, 4)), 1);
    uint32_t started = timeGetTime();
    ASSERT_EQ(m32GenMTCStart(handle), 1);
    cvxClockAdvance(10'000);
    EXPECT_EQ(countSent(0xF1), 1000u); // 100 per second, the last one due at 10 s
    std::vector<uint8_t> data = quarterFrameData();
    std::vector<uint8_t> first(data.begin(), data.begin() + 8);
    EXPECT_EQ(first, (std::vector<uint8_t>{0x04, 0x10, 0x23, 0x30, 0x42, 0x50, 0x61, 0x72}));
    // 25 fps: one every 10 ms from the start, whatever the timer's period.
    EXPECT_EQ(sentMessages()[0].time - started, 10u);
    EXPECT_EQ(sentMessages()[1].time - sentMessages()[0].time, 10u);
}

TEST_F(TimeCodeExportsTest, PauseContinuesFromTheCurrentTimeAndResetReturnsToStart) {
    EXPECT_EQ(m32GenMTCStop(handle, 0), 0);
    EXPECT_EQ(m32GenMTCStop(handle, 1), 1); // a reset succeeds even when stopped
    m32ConfigMTC(handle, 3, 5, packed(0, 0, 10, 0));
    ASSERT_EQ(m32GenMTCStart(handle), 1);
    EXPECT_EQ(m32GenMTCStart(handle), 0);
    // 119 quarter frames: 14 whole sequences moved the time on by 28 frames.
    cvxClockAdvance(999);
    EXPECT_EQ(m32GenMTCStop(handle, 0), 1);
    sentMessages().clear();
    m32GenMTCStart(handle);
    cvxClockAdvance(100);
    std::vector<uint8_t> data = quarterFrameData();
    ASSERT_GE(data.size(), 3u);
    EXPECT_EQ(data[0], 0x0C); // a new sequence from 00:00:10:28
    EXPECT_EQ(data[1], 0x11);
    EXPECT_EQ(data[2], 0x2A);
    m32GenMTCStop(handle, 1);
    sentMessages().clear();
    m32GenMTCStart(handle);
    cvxClockAdvance(100);
    EXPECT_EQ(quarterFrameData()[0], 0x00);
    EXPECT_EQ(quarterFrameData()[2], 0x2A); // seconds 10 again
}

TEST_F(TimeCodeExportsTest, ConfiguringWhileRunningSendsTheNewTimeFromPieceZero) {
    m32GenMTCStart(handle);
    cvxClockAdvance(30); // three quarter frames of 00:00:00:00
    sentMessages().clear();
    m32ConfigMTC(handle, 1, 0, packed(1, 2, 3, 4));
    cvxClockAdvance(100);
    std::vector<uint8_t> data = quarterFrameData();
    ASSERT_GE(data.size(), 8u);
    EXPECT_EQ(std::vector<uint8_t>(data.begin(), data.begin() + 8),
              (std::vector<uint8_t>{0x04, 0x10, 0x23, 0x30, 0x42, 0x50, 0x61, 0x72}));
}

TEST_F(TimeCodeExportsTest, PeriodIsClampedPositiveAndKeptWhileRunning) {
    m32ConfigMTC(handle, 3, 0x8000, 0); // negative as signed 16-bit: ignored
    EXPECT_EQ(client->timeCode.mtc.timer.periodMs.load(), 5u);
    m32ConfigMTC(handle, 3, 2, 0);
    EXPECT_EQ(client->timeCode.mtc.timer.periodMs.load(), 2u);
    m32GenMTCStart(handle);
    m32ConfigMTC(handle, 3, 20, 0);
    EXPECT_EQ(client->timeCode.mtc.timer.periodMs.load(), 2u);
    cvxClockAdvance(10'000);
    EXPECT_NEAR(double(countSent(0xF1)), 1200.0, 1.0);
}

TEST_F(TimeCodeExportsTest, ClockRunsAtTheDefaultOrConfiguredTempoAndTimebase) {
    struct Case {
        uint16_t tempo;
        uint16_t timebase;
        size_t clocksInTenSeconds;
    };
    ASSERT_EQ(m32StartClock(handle), 1); // 100 BPM until configured
    EXPECT_EQ(m32StartClock(handle), 0);
    cvxClockAdvance(10'000);
    EXPECT_EQ(countSent(0xF8), 400u);
    for (Case c : {Case{12000, 96, 480}, Case{9000, 120, 360}}) {
        ASSERT_EQ(m32StopClock(handle), 1);
        sentMessages().clear();
        ASSERT_EQ(m32ConfigSync(handle, 5, c.tempo, c.timebase), 1);
        ASSERT_EQ(m32StartClock(handle), 1);
        cvxClockAdvance(10'000);
        EXPECT_EQ(countSent(0xF8), c.clocksInTenSeconds) << c.tempo << " " << c.timebase;
    }
    EXPECT_EQ(m32StopClock(handle), 1);
    EXPECT_EQ(m32StopClock(handle), 0);
}

TEST_F(TimeCodeExportsTest, InvalidTimebaseIsRefusedAndPeriodKeptWhileRunning) {
    ASSERT_EQ(m32ConfigSync(handle, 5, 12000, 96), 1);
    for (uint16_t timebase : {0, 23, 25, 100}) {
        EXPECT_EQ(m32ConfigSync(handle, 10, 6000, timebase), 0) << timebase;
    }
    EXPECT_EQ(client->timeCode.clock.timer.periodMs.load(), 5u);
    m32StartClock(handle);
    m32ConfigSync(handle, 50, 12000, 96); // the period waits for the next start
    EXPECT_EQ(client->timeCode.clock.timer.periodMs.load(), 5u);
    cvxClockAdvance(1000);
    EXPECT_EQ(countSent(0xF8), 48u);
}

TEST_F(TimeCodeExportsTest, SyncCommandsSendTransportAndSongPosition) {
    for (uint16_t command : {1, 2, 3, 4, 0, 5}) {
        EXPECT_EQ(m32SyncCmd(handle, command, 0x1234), 1);
    }
    const std::vector<std::vector<uint8_t>> expected = {
        {0xFA, 0, 0}, {0xFB, 0, 0}, {0xFC, 0, 0}, {0xF2, 0x34, 0x24}};
    ASSERT_EQ(sentMessages().size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const SentMessage& m = sentMessages()[i];
        EXPECT_EQ((std::vector<uint8_t>{m.status, m.data1, m.data2}), expected[i]);
    }
    cvxClockAdvance(100);
    EXPECT_EQ(sentMessages().size(), expected.size()); // the clock was not started
    EXPECT_EQ(m32SyncCmd(0, 1, 0), 0);
}

TEST_F(TimeCodeExportsTest, DestroyingAClientStopsItsGenerators) {
    m32GenMTCStart(handle);
    m32StartClock(handle);
    cvxClockAdvance(50);
    m32DestroyClient(handle);
    handle = 0;
    size_t sent = sentMessages().size();
    cvxClockAdvance(1000);
    EXPECT_EQ(sentMessages().size(), sent);
}

} // namespace
} // namespace cvx::test
