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

    MtcGeneratorState state{};
    MtcGenerator generator{state};
};

TEST_F(MtcGeneratorTest, QuarterFrameSequenceCarriesTheStartTimeAtEachRate) {
    const uint8_t rateCodes[] = {0, 1, 2, 3, 3};
    for (uint16_t rate = 0; rate <= 4; ++rate) {
        configure(rate, packed(23, 59, 42, 21));
        std::vector<uint8_t> expected = {
            0x05, 0x11, 0x2A, 0x32,
            0x4B, 0x53, 0x67, static_cast<uint8_t>(0x71 | rateCodes[rate] << 1)};
        EXPECT_EQ(pieces(8), expected) << rate;
    }
}

TEST_F(MtcGeneratorTest, EightPiecesAdvanceTheTimeByTwoFrames) {
    configure(3, packed(1, 2, 3, 28));
    pieces(7);
    EXPECT_EQ(packedReport(state.time), 3u << 29 | packed(1, 2, 3, 28));
    pieces(1);
    EXPECT_EQ(packedReport(state.time), 3u << 29 | packed(1, 2, 4, 0));
    EXPECT_EQ(pieces(2), (std::vector<uint8_t>{0x00, 0x10}));
}

TEST_F(MtcGeneratorTest, QuarterFramesPerSecondAtEachRate) {
    const double perSecond[] = {96, 100, 120, 120, 119.88};
    for (uint16_t rate = 0; rate <= 4; ++rate) {
        for (uint32_t period : {1u, 5u, 20u}) {
            configure(rate, 0);
            uint32_t due = 0;
            for (uint32_t t = 0; t < 10'000; t += period) {
                due += generator.elapse(period);
            }
            EXPECT_NEAR(due, perSecond[rate] * 10, 1.0) << rate << " " << period;
        }
    }
}

TEST_F(MtcGeneratorTest, TwentyFiveFpsAddsFiveTenthsPerFiveMsTick) {
    configure(1, 0);
    EXPECT_EQ(generator.elapse(5), 0u);
    EXPECT_EQ(generator.elapse(5), 0u); // exactly one quarter frame waits for more
    EXPECT_EQ(generator.elapse(5), 1u);
    EXPECT_EQ(generator.elapse(1000), 100u); // owed time is made up at once
}

} // namespace
} // namespace cvx::timecode
