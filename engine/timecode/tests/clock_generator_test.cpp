#include "timecode/clock_generator.h"

#include <gtest/gtest.h>

namespace cvx::timecode {
namespace {

class ClockGeneratorTest : public ::testing::Test {
protected:
    uint32_t clocksOver(uint16_t tempo, uint16_t timebase, uint32_t ms, uint32_t period) {
        generator.setTimebase(timebase);
        generator.setTempo(tempo);
        generator.restart();
        uint32_t due = 0;
        for (uint32_t t = 0; t < ms; t += period) {
            due += generator.elapse(period);
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

TEST_F(ClockGeneratorTest, TwentyFourClocksPerBeatForAnyTimebaseAndPeriod) {
    struct Case {
        uint16_t tempo;
        uint16_t timebase;
        uint32_t period;
        uint32_t clocksInTenSeconds;
    };
    for (Case c : {Case{12000, 96, 5, 480}, Case{12000, 120, 1, 480}, Case{12000, 480, 20, 480},
                   Case{6000, 24, 5, 240}, Case{9000, 192, 5, 360}, Case{30000, 384, 3, 1200}}) {
        EXPECT_EQ(clocksOver(c.tempo, c.timebase, 10'000, c.period), c.clocksInTenSeconds)
            << c.tempo << " " << c.timebase << " " << c.period;
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
    EXPECT_EQ(clocksOver(0, 65520, 60'000, 5), 24u);
}

} // namespace
} // namespace cvx::timecode
