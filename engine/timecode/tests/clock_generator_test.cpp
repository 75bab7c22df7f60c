#include "timecode/clock_generator.h"

#include <gtest/gtest.h>

namespace cvx::timecode {
namespace {

class ClockGeneratorTest : public ::testing::Test {
protected:
    void configure(uint16_t tempo, uint16_t timebase) {
        generator.setTimebase(timebase);
        generator.setTempo(tempo);
        generator.restart();
    }

    uint32_t clocksOver(uint32_t ms, uint32_t period) {
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
    EXPECT_FALSE(isValidTimebase(0));
    EXPECT_FALSE(isValidTimebase(12));
    EXPECT_FALSE(isValidTimebase(23));
    EXPECT_FALSE(isValidTimebase(100));
    EXPECT_TRUE(isValidTimebase(24));
    EXPECT_TRUE(isValidTimebase(96));
    EXPECT_TRUE(isValidTimebase(65520));
}

TEST_F(ClockGeneratorTest, ClocksPerSecondFollowTempoForAnyTimebase) {
    struct Case {
        uint16_t tempo;
        uint16_t timebase;
        uint32_t clocksInTenSeconds;
    };
    // 24 clocks per beat whatever the timebase: BPM / 60 × 24 per second.
    for (Case c :
         {Case{12000, 96, 480}, Case{12000, 120, 480}, Case{12000, 480, 480}, Case{6000, 24, 240},
          Case{9000, 192, 360}, Case{15000, 960, 600}, Case{30000, 384, 1200}}) {
        configure(c.tempo, c.timebase);
        EXPECT_EQ(clocksOver(10'000, 5), c.clocksInTenSeconds) << c.tempo << " " << c.timebase;
    }
}

TEST_F(ClockGeneratorTest, TimebaseNinetySixAtOneTwentyBpmIsFourTicksPerClock) {
    configure(12000, 96);
    EXPECT_EQ(state.ticksPerClock, 4);
    EXPECT_EQ(clocksOver(1000, 5), 48u);
    EXPECT_EQ(state.totalTicks, 192u);
}

TEST_F(ClockGeneratorTest, PeriodDoesNotChangeTheRate) {
    configure(12000, 120);
    EXPECT_EQ(clocksOver(10'000, 1), 480u);
    configure(12000, 120);
    EXPECT_EQ(clocksOver(10'000, 20), 480u);
}

TEST_F(ClockGeneratorTest, TempoRoundsToWholeBeatsPerMinute) {
    configure(12049, 24);
    uint64_t at120 = state.step;
    generator.setTempo(12050);
    EXPECT_EQ(at120, 500'000u * 256);
    EXPECT_EQ(state.step, 60'000'000u / 121 * 256);
}

TEST_F(ClockGeneratorTest, SlowestTempoIsOneBeatPerMinuteWithoutOverflow) {
    for (uint16_t tempo : {0, 49, 149}) {
        generator.setTempo(tempo);
        EXPECT_EQ(state.step, 60'000'000ull * 256) << tempo;
    }
    configure(0, 65520);
    EXPECT_EQ(clocksOver(60'000, 5), 24u);
}

TEST_F(ClockGeneratorTest, OwedTimeCatchesUpInOneTick) {
    configure(12000, 96);
    EXPECT_EQ(generator.elapse(1000), 48u);
}

} // namespace
} // namespace cvx::timecode
