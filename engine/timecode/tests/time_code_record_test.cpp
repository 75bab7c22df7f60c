#include "timecode/time_code_record.h"

#include <gtest/gtest.h>

namespace cvx::timecode {
namespace {

constexpr uint32_t packed(uint32_t h, uint32_t m, uint32_t s, uint32_t f) {
    return h << 24 | m << 16 | s << 8 | f;
}

TimeCodeRecord recordAt(uint16_t rate, uint32_t time) {
    TimeCodeRecord record{};
    applyConfiguredRate(record, rate);
    setClampedTime(record, time);
    return record;
}

// The time one frame after `time`, without the rate code.
uint32_t afterOneFrame(uint16_t rate, uint32_t time) {
    TimeCodeRecord record = recordAt(rate, time);
    advanceFrame(record);
    return packedReport(record) & 0x1FFFFFFF;
}

TEST(TimeCodeRecord, StartFieldsAreClampedToTheRate) {
    EXPECT_EQ(packedReport(recordAt(0, packed(99, 77, 61, 40))), packed(23, 59, 59, 23));
    EXPECT_EQ(packedReport(recordAt(1, packed(1, 2, 3, 25))), 1u << 29 | packed(1, 2, 3, 24));
    EXPECT_EQ(packedReport(recordAt(4, packed(1, 2, 3, 30))), 3u << 29 | packed(1, 2, 3, 29));
    // Drop-frame counting has no frames 0 and 1 at the start of most minutes.
    EXPECT_EQ(packedReport(recordAt(2, packed(0, 1, 0, 0))), 2u << 29 | packed(0, 1, 0, 2));
    EXPECT_EQ(packedReport(recordAt(2, packed(0, 10, 0, 0))), 2u << 29 | packed(0, 10, 0, 0));
}

TEST(TimeCodeRecord, FramesCarryIntoSecondsAtEachRate) {
    EXPECT_EQ(afterOneFrame(0, packed(0, 0, 0, 23)), packed(0, 0, 1, 0));
    EXPECT_EQ(afterOneFrame(1, packed(0, 0, 0, 24)), packed(0, 0, 1, 0));
    EXPECT_EQ(afterOneFrame(4, packed(0, 0, 0, 29)), packed(0, 0, 1, 0));
    EXPECT_EQ(afterOneFrame(3, packed(0, 0, 59, 29)), packed(0, 1, 0, 0));
}

TEST(TimeCodeRecord, DropFrameSkipsTwoFramesAtMinutesExceptTenths) {
    EXPECT_EQ(afterOneFrame(2, packed(0, 0, 59, 29)), packed(0, 1, 0, 2));
    EXPECT_EQ(afterOneFrame(2, packed(0, 10, 59, 29)), packed(0, 11, 0, 2));
    EXPECT_EQ(afterOneFrame(2, packed(0, 9, 59, 29)), packed(0, 10, 0, 0));
    EXPECT_EQ(afterOneFrame(2, packed(0, 59, 59, 29)), packed(1, 0, 0, 0));
    EXPECT_EQ(afterOneFrame(2, packed(0, 1, 0, 29)), packed(0, 1, 1, 0));
}

TEST(TimeCodeRecord, WrapsAfterTwentyFourHours) {
    EXPECT_EQ(afterOneFrame(3, packed(23, 59, 59, 29)), packed(0, 0, 0, 0));
    EXPECT_EQ(afterOneFrame(0, packed(23, 59, 59, 23)), packed(0, 0, 0, 0));
    EXPECT_EQ(afterOneFrame(3, packed(22, 59, 59, 29)), packed(23, 0, 0, 0));
}

} // namespace
} // namespace cvx::timecode
