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

uint32_t afterOneFrame(uint16_t rate, uint32_t time) {
    TimeCodeRecord record = recordAt(rate, time);
    advanceFrame(record);
    return packedReport(record) & 0x1FFFFFFF;
}

TEST(TimeCodeRecord, ConfiguredRatesGiveFpsCodeAndRate) {
    struct Case {
        uint16_t rate;
        uint8_t fps;
        uint8_t code;
        uint16_t times100;
    };
    for (Case c : {Case{0, 24, 0, 2400}, Case{1, 25, 1, 2500}, Case{2, 30, 2, 3000},
                   Case{3, 30, 3, 3000}, Case{4, 30, 3, 2997}, Case{9, 30, 3, 3000}}) {
        TimeCodeRecord record{};
        applyConfiguredRate(record, c.rate);
        EXPECT_EQ(record.framesPerSecond, c.fps) << c.rate;
        EXPECT_EQ(record.rateCode, c.code) << c.rate;
        EXPECT_EQ(record.rateTimes100, c.times100) << c.rate;
    }
}

TEST(TimeCodeRecord, OutOfRangeFieldsAreClamped) {
    EXPECT_EQ(packedReport(recordAt(0, packed(99, 77, 61, 40))), packed(23, 59, 59, 23)); // code 0
    EXPECT_EQ(packedReport(recordAt(1, packed(1, 2, 3, 25))), 1u << 29 | packed(1, 2, 3, 24));
    EXPECT_EQ(packedReport(recordAt(3, packed(12, 34, 56, 30))), 3u << 29 | packed(12, 34, 56, 29));
}

TEST(TimeCodeRecord, DropFrameStartOnASkippedFrameMovesToFrameTwo) {
    EXPECT_EQ(packedReport(recordAt(2, packed(0, 1, 0, 0))), 2u << 29 | packed(0, 1, 0, 2));
    EXPECT_EQ(packedReport(recordAt(2, packed(0, 10, 0, 0))), 2u << 29 | packed(0, 10, 0, 0));
    EXPECT_EQ(packedReport(recordAt(2, packed(0, 1, 1, 0))), 2u << 29 | packed(0, 1, 1, 0));
}

TEST(TimeCodeRecord, PackedReportMasksHoursToFiveBits) {
    TimeCodeRecord record = recordAt(3, 0);
    record.hours = 0x3F;
    EXPECT_EQ(packedReport(record), 3u << 29 | packed(0x1F, 0, 0, 0));
}

TEST(TimeCodeRecord, FramesCarryIntoSecondsAtEachRate) {
    EXPECT_EQ(afterOneFrame(0, packed(0, 0, 0, 23)), packed(0, 0, 1, 0));
    EXPECT_EQ(afterOneFrame(1, packed(0, 0, 0, 24)), packed(0, 0, 1, 0));
    EXPECT_EQ(afterOneFrame(3, packed(0, 0, 0, 29)), packed(0, 0, 1, 0));
    EXPECT_EQ(afterOneFrame(4, packed(0, 0, 0, 28)), packed(0, 0, 0, 29));
}

TEST(TimeCodeRecord, DropFrameSkipsTwoFramesAtMinutesExceptTenths) {
    EXPECT_EQ(afterOneFrame(2, packed(0, 0, 59, 29)), packed(0, 1, 0, 2));
    EXPECT_EQ(afterOneFrame(2, packed(0, 9, 59, 29)), packed(0, 10, 0, 0));
    EXPECT_EQ(afterOneFrame(2, packed(0, 19, 59, 29)), packed(0, 20, 0, 0));
    EXPECT_EQ(afterOneFrame(2, packed(0, 59, 59, 29)), packed(1, 0, 0, 0));
    EXPECT_EQ(afterOneFrame(2, packed(0, 10, 59, 29)), packed(0, 11, 0, 2));
    // Within a minute, second boundaries never skip.
    EXPECT_EQ(afterOneFrame(2, packed(0, 1, 0, 29)), packed(0, 1, 1, 0));
    // Without drop-frame counting, minutes start at frame 0.
    EXPECT_EQ(afterOneFrame(3, packed(0, 0, 59, 29)), packed(0, 1, 0, 0));
}

TEST(TimeCodeRecord, WrapsAfterTwentyFourHours) {
    EXPECT_EQ(afterOneFrame(3, packed(23, 59, 59, 29)), packed(0, 0, 0, 0));
    EXPECT_EQ(afterOneFrame(2, packed(23, 59, 59, 29)), packed(0, 0, 0, 0));
    EXPECT_EQ(afterOneFrame(0, packed(23, 59, 59, 23)), packed(0, 0, 0, 0));
    EXPECT_EQ(afterOneFrame(3, packed(22, 59, 59, 29)), packed(23, 0, 0, 0));
}

TEST(TimeCodeRecord, LastFrameOfEachRateCode) {
    EXPECT_EQ(lastFrameOf(0), 23);
    EXPECT_EQ(lastFrameOf(1), 24);
    EXPECT_EQ(lastFrameOf(2), 29);
    EXPECT_EQ(lastFrameOf(3), 29);
}

} // namespace
} // namespace cvx::timecode
