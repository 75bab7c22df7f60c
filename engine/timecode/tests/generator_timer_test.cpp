#include "timecode/generator_timer.h"

#include <gtest/gtest.h>

namespace cvx::timecode {
namespace {

TEST(TickEntry, OverlappingTickOwesItsPeriodToTheNext) {
    GeneratorTimer timer{};
    timer.periodMs.store(5);
    {
        TickEntry slow(timer);
        ASSERT_TRUE(slow.covers());
        EXPECT_EQ(slow.ms(), 5u);
        TickEntry overlapping(timer);
        EXPECT_FALSE(overlapping.covers());
        TickEntry another(timer);
        EXPECT_FALSE(another.covers());
    }
    TickEntry next(timer);
    EXPECT_EQ(next.ms(), 15u);
    EXPECT_EQ(timer.owedMs.load(), 0u);
}

TEST(TickEntry, TicksInTurnCoverOnlyTheirPeriod) {
    GeneratorTimer timer{};
    timer.periodMs.store(2);
    for (int i = 0; i < 3; ++i) {
        TickEntry tick(timer);
        EXPECT_EQ(tick.ms(), 2u);
    }
    EXPECT_EQ(timer.activeTicks.load(), 0);
}

} // namespace
} // namespace cvx::timecode
