#include "timecode/clock_generator.h"
#include "timecode/generator_timer.h"

#include <gtest/gtest.h>

namespace cvx::timecode {
namespace {

class ClockGeneratorTest : public ::testing::Test {
protected:
    // The clocks whose deadlines fall within `ms` of the start.
    uint32_t clocksOver(uint16_t tempo, uint16_t timebase, uint32_t ms) {
        generator.setTimebase(timebase);
        generator.setTempo(tempo);
        uint32_t due = 0;
        while (messageDueNs(0, generator.interval(), due + 1) <= int64_t{ms} * 1'000'000) {
            ++due;
        }
        return due;
    }

    ClockGeneratorState state{};
    ClockGenerator generator{state};
};

TEST(ClockTimebase, MustBeAMultipleOfTwentyFourOfAtLeastTwentyFour) {
    for (uint16_t timebase : {0, 12, 23, 25, 100}) {
        EXPECT_FALSE(isValidTimebase(timebase)) << timebase;
    }
    for (uint16_t timebase : {24, 96, 120, 960, 65520}) {
        EXPECT_TRUE(isValidTimebase(timebase)) << timebase;
    }
}

TEST_F(ClockGeneratorTest, TwentyFourClocksPerBeatForAnyTimebase) {
    struct Case {
        uint16_t tempo;
        uint16_t timebase;
        uint32_t clocksInTenSeconds;
    };
    for (Case c : {Case{12000, 96, 480}, Case{12000, 120, 480}, Case{12000, 480, 480},
                   Case{6000, 24, 240}, Case{9000, 192, 360}, Case{30000, 384, 1200}}) {
        EXPECT_EQ(clocksOver(c.tempo, c.timebase, 10'000), c.clocksInTenSeconds)
            << c.tempo << " " << c.timebase;
    }
}

TEST_F(ClockGeneratorTest, TempoRoundsToWholeBeatsPerMinute) {
    generator.setTempo(12049);
    EXPECT_EQ(state.step, 500'000u * 256);
    generator.setTempo(12050);
    EXPECT_EQ(state.step, 60'000'000u / 121 * 256);
}

TEST_F(ClockGeneratorTest, SlowestTempoIsOneBeatPerMinuteWithoutOverflow) {
    for (uint16_t tempo : {0, 49, 149}) {
        generator.setTempo(tempo);
        EXPECT_EQ(state.step, 60'000'000ull * 256) << tempo;
    }
    EXPECT_EQ(clocksOver(0, 65520, 60'000), 24u);
}

} // namespace
} // namespace cvx::timecode
