#include "timecode/generator_timer.h"
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

TEST_F(MtcGeneratorTest, QuarterFrameIntervalAtEachRate) {
    // Rate argument 2 is 30 drop-frame (frames at 30 fps), 4 is 29.97.
    const int64_t tenSecondsHold[] = {960, 1000, 1200, 1200, 1198};
    for (uint16_t rate = 0; rate <= 4; ++rate) {
        configure(rate, 0);
        MessageInterval interval = generator.interval();
        uint64_t n = static_cast<uint64_t>(tenSecondsHold[rate]);
        EXPECT_LE(messageDueNs(0, interval, n), 10'000'000'000) << rate;
        EXPECT_GT(messageDueNs(0, interval, n + 1), 10'000'000'000) << rate;
    }
}

} // namespace
} // namespace cvx::timecode
