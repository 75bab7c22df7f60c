#include "timecode/time_code_tracker.h"

#include <gtest/gtest.h>

#include <vector>

namespace cvx::timecode {
namespace {

constexpr uint32_t packed(uint32_t h, uint32_t m, uint32_t s, uint32_t f) {
    return h << 24 | m << 16 | s << 8 | f;
}

class TimeCodeTrackerTest : public ::testing::Test {
protected:
    void SetUp() override { tracker.reset(); }

    // Feeds the pieces; returns the reports made.
    std::vector<uint32_t> feed(const std::vector<uint8_t>& pieces) {
        std::vector<uint32_t> reports;
        for (uint8_t data : pieces) {
            if (tracker.quarterFrame(data)) {
                reports.push_back(tracker.report());
            }
        }
        return reports;
    }

    ReceivedTime state{};
    TimeCodeTracker tracker{state};
};

TEST_F(TimeCodeTrackerTest, FullSequenceIsReportedAfterPieceSeven) {
    EXPECT_TRUE(feed({0x05, 0x11, 0x2A, 0x32, 0x4B, 0x53, 0x67}).empty());
    EXPECT_EQ(feed({0x73}), (std::vector<uint32_t>{1u << 29 | packed(23, 59, 42, 21)}));
}

TEST_F(TimeCodeTrackerTest, PartialSequenceIsNotReportedButCounted) {
    EXPECT_TRUE(feed({0x44, 0x50, 0x63, 0x76}).empty());
    std::vector<uint32_t> reports = feed({0x01, 0x10, 0x22, 0x30, 0x44, 0x50, 0x63, 0x76});
    EXPECT_EQ(reports, (std::vector<uint32_t>{3u << 29 | packed(3, 4, 2, 1)}));
}

TEST_F(TimeCodeTrackerTest, FullFrameSetsTheClampedTimeAndRestartsCounting) {
    const uint8_t message[] = {0xF0, 0x7F, 0x7F, 0x01, 0x01, 0x20 | 10, 20, 30, 12, 0xF7};
    feed({0x01, 0x10, 0x22, 0x30});
    EXPECT_TRUE(tracker.fullFrame(message, sizeof message));
    EXPECT_EQ(tracker.report(), 1u << 29 | packed(10, 20, 30, 12));
    EXPECT_TRUE(feed({0x44, 0x50, 0x63, 0x76}).empty());

    const uint8_t outOfRange[][10] = {{0xF0, 0x7F, 0x7F, 0x01, 0x01, 0x1F, 0x7F, 0x7F, 0x7F, 0xF7},
                                      {0xF0, 0x7F, 0x7F, 0x01, 0x01, 0x20, 0, 0, 0x7F, 0xF7},
                                      {0xF0, 0x7F, 0x7F, 0x01, 0x01, 0x60, 0, 0, 0x7F, 0xF7}};
    const uint32_t clamped[] = {packed(23, 59, 59, 23), 1u << 29 | 24u, 3u << 29 | 29u};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(tracker.fullFrame(outOfRange[i], 10));
        EXPECT_EQ(tracker.report(), clamped[i]) << i;
    }
}

TEST_F(TimeCodeTrackerTest, OtherSysExIsNotAFullFrame) {
    const uint8_t shortMessage[] = {0xF0, 0x7F, 0x7F, 0x01, 0x01, 0x01, 0x02, 0x03, 0x04};
    const uint8_t userBits[] = {0xF0, 0x7F, 0x7F, 0x01, 0x02, 0x01, 0x02, 0x03, 0x04, 0xF7};
    EXPECT_FALSE(tracker.fullFrame(shortMessage, sizeof shortMessage));
    EXPECT_FALSE(tracker.fullFrame(userBits, sizeof userBits));
    EXPECT_FALSE(tracker.fullFrame(nullptr, 10));
    EXPECT_EQ(tracker.report(), 3u << 29);
}

} // namespace
} // namespace cvx::timecode
