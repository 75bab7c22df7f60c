#include "timecode/mtc_generator.h"
#include "timecode/time_code_record.h"

#include <gtest/gtest.h>

#include <vector>

namespace cvx::timecode {
namespace {

constexpr uint32_t packed(uint32_t h, uint32_t m, uint32_t s, uint32_t f) {
    return h << 24 | m << 16 | s << 8 | f;
}

class MtcGeneratorTest : public ::testing::Test {
protected:
    void configure(uint16_t rate, uint32_t start) {
        generator.configure(rate, start);
        generator.restart();
    }

    std::vector<uint8_t> pieces(int count) {
        std::vector<uint8_t> data;
        for (int i = 0; i < count; ++i) {
            data.push_back(generator.nextPiece());
        }
        return data;
    }

    // Quarter frames due over `ms` milliseconds of `period`-ms ticks.
    uint32_t dueOver(uint32_t ms, uint32_t period) {
        uint32_t due = 0;
        for (uint32_t t = 0; t < ms; t += period) {
            due += generator.elapse(period);
        }
        return due;
    }

    MtcGeneratorState state{};
    MtcGenerator generator{state};
};

TEST_F(MtcGeneratorTest, StepValuesOfEachRate) {
    const uint64_t expected[] = {41666 * 256, 40000 * 256, 33333 * 256, 33333 * 256, 33366 * 256};
    for (uint16_t rate = 0; rate <= 4; ++rate) {
        generator.configure(rate, 0);
        EXPECT_EQ(state.step, expected[rate]) << rate;
    }
}

TEST_F(MtcGeneratorTest, QuarterFrameSequenceCarriesTheStartTimeAtEachRate) {
    const uint32_t start = packed(0x17, 0x3B, 0x2A, 0x15); // 23:59:42:21
    const uint8_t rateCodes[] = {0, 1, 2, 3, 3};
    for (uint16_t rate = 0; rate <= 4; ++rate) {
        configure(rate, start);
        std::vector<uint8_t> expected = {
            0x05, 0x11, 0x2A, 0x32,
            0x4B, 0x53, 0x67, static_cast<uint8_t>(0x71 | rateCodes[rate] << 1)};
        EXPECT_EQ(pieces(8), expected) << rate;
    }
}

TEST_F(MtcGeneratorTest, EightPiecesAdvanceTheTimeByTwoFrames) {
    configure(3, packed(1, 2, 3, 28));
    pieces(7);
    EXPECT_EQ(packedReport(state.time) & 0x1FFFFFFF, packed(1, 2, 3, 28));
    pieces(1);
    EXPECT_EQ(packedReport(state.time) & 0x1FFFFFFF, packed(1, 2, 4, 0));
    std::vector<uint8_t> next = pieces(2);
    EXPECT_EQ(next, (std::vector<uint8_t>{0x00, 0x10}));
}

TEST_F(MtcGeneratorTest, DropFrameSequenceSkipsAtTheMinute) {
    configure(2, packed(0, 0, 59, 28));
    pieces(8);
    EXPECT_EQ(packedReport(state.time) & 0x1FFFFFFF, packed(0, 1, 0, 2));
    EXPECT_EQ(pieces(1).front(), 0x02);
}

TEST_F(MtcGeneratorTest, SequenceWrapsAfterTwentyFourHours) {
    configure(3, packed(23, 59, 59, 28));
    pieces(8);
    std::vector<uint8_t> expected = {0x00, 0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x76};
    EXPECT_EQ(pieces(8), expected);
}

TEST_F(MtcGeneratorTest, RestartBeginsAgainWithPieceZero) {
    configure(3, 0);
    pieces(3);
    generator.restart();
    EXPECT_EQ(pieces(1).front() & 0xF0, 0x00);
}

TEST_F(MtcGeneratorTest, RewindReturnsToTheStartTime) {
    configure(1, packed(2, 0, 0, 0));
    pieces(40);
    generator.rewind();
    EXPECT_EQ(packedReport(state.time), 1u << 29 | packed(2, 0, 0, 0));
}

TEST_F(MtcGeneratorTest, QuarterFramesPerSecondAtEachRate) {
    // Four quarter frames per frame.
    const double perSecond[] = {96, 100, 120, 120, 119.88};
    for (uint16_t rate = 0; rate <= 4; ++rate) {
        configure(rate, 0);
        EXPECT_NEAR(dueOver(10'000, 5), perSecond[rate] * 10, 1.0) << rate;
        EXPECT_NEAR(dueOver(10'000, 1), perSecond[rate] * 10, 1.0) << rate;
    }
}

TEST_F(MtcGeneratorTest, TwentyFiveFpsAddsFiveTenthsPerFiveMsTick) {
    configure(1, 0);
    EXPECT_EQ(generator.elapse(5), 0u);
    EXPECT_EQ(state.accumulator, 5u);
    EXPECT_EQ(generator.elapse(5), 0u); // exactly one quarter frame waits
    EXPECT_EQ(generator.elapse(5), 1u);
    EXPECT_EQ(state.accumulator, 5u);
}

TEST_F(MtcGeneratorTest, OwedTimeCatchesUpInOneTick) {
    configure(3, 0);
    EXPECT_EQ(generator.elapse(1000), 119u);
    EXPECT_EQ(generator.elapse(0), 0u);
}

} // namespace
} // namespace cvx::timecode
