#include "timecode/sync_tracker.h"

#include <gtest/gtest.h>

#include <vector>

namespace cvx::timecode {
namespace {

class SyncTrackerTest : public ::testing::Test {
protected:
    void SetUp() override { tracker.setTimebase(120); }

    // `count` clocks `interval` ms apart; returns the tempos reported.
    std::vector<uint32_t> clocks(int count, uint32_t interval) {
        std::vector<uint32_t> tempos;
        for (int i = 0; i < count; ++i) {
            SyncReport report = tracker.track(0xF8, 0, 0, time);
            if (report.tempoChanged) {
                tempos.push_back(report.tempo);
            }
            time += interval;
        }
        return tempos;
    }

    SyncTrackerState state{};
    SyncTracker tracker{state};
    uint32_t time = 1000;
};

TEST_F(SyncTrackerTest, ClocksTwentyMsApartSettleAtOneTwentyFiveBpm) {
    std::vector<uint32_t> tempos = clocks(25, 20);
    ASSERT_EQ(tempos.size(), 24u);
    EXPECT_EQ(tempos.front(), 300000u); // one interval seen: higher
    EXPECT_EQ(tempos.back(), 12500u);
    EXPECT_TRUE(clocks(10, 20).empty()); // steady: no more reports
    EXPECT_EQ(clocks(25, 25).back(), 10000u);
}

TEST_F(SyncTrackerTest, PauseBetweenStopAndStartStaysOutOfTheAverage) {
    clocks(30, 20);
    tracker.track(0xFC, 0, 0, 0);
    time += 60'000;
    tracker.track(0xFA, 0, 0, 0);
    EXPECT_TRUE(clocks(30, 20).empty());
    tracker.track(0xFB, 0, 0, 0);
    time += 5'000;
    EXPECT_TRUE(clocks(30, 20).empty());
    EXPECT_EQ(state.lastTempo, 12500u);
}

TEST_F(SyncTrackerTest, EarlierOrEqualTimeStampsStayOutOfTheAverage) {
    clocks(30, 20);
    time -= 10'000; // a clock stamped in another time base
    EXPECT_TRUE(clocks(1, 0).empty());
    EXPECT_TRUE(clocks(30, 20).empty()); // the first is in the same millisecond
    EXPECT_EQ(state.lastTempo, 12500u);
    for (uint32_t entry : state.intervals) {
        EXPECT_EQ(entry, 20u);
    }
}

TEST_F(SyncTrackerTest, SongPositionIsReportedInTimebaseTicks) {
    EXPECT_EQ(tracker.track(0xF2, 16, 0, 0).position, 480u);
    EXPECT_EQ(tracker.track(0xF2, 0x7F, 0x7F, 0).position, 16383u * 6 * 5);
    tracker.setTimebase(96);
    EXPECT_EQ(tracker.track(0xF2, 1, 1, 0).position, 129u * 6 * 4);
}

TEST_F(SyncTrackerTest, PositionCountsClocksOnlyWhileRunning) {
    EXPECT_FALSE(tracker.track(0xF8, 0, 0, time += 20).positionChanged);
    tracker.track(0xF2, 2, 0, 0); // 12 clocks
    tracker.track(0xFB, 0, 0, 0);
    SyncReport report = tracker.track(0xF8, 0, 0, time += 20);
    EXPECT_TRUE(report.positionChanged);
    EXPECT_EQ(report.position, 13u * 5);
    tracker.track(0xFC, 0, 0, 0);
    EXPECT_FALSE(tracker.track(0xF8, 0, 0, time += 20).positionChanged);
    tracker.track(0xFA, 0, 0, 0);
    EXPECT_EQ(tracker.track(0xF8, 0, 0, time += 20).position, 5u);
}

} // namespace
} // namespace cvx::timecode
