#include "timecode/generator_timer.h"

#include <gtest/gtest.h>

namespace cvx::timecode {
namespace {

constexpr int64_t kMs = 1'000'000;

// A generator timer of `periodMs` whose first tick was due at 1000 ms.
class TickEntryTest : public ::testing::Test {
protected:
    void start(uint32_t periodMs) {
        timer.periodMs.store(periodMs);
        first = 1000 * kMs;
    }
    // Tick n (1 = the first) due on the grid, running `lateMs` after its due time.
    uint32_t tick(int64_t n, int64_t lateMs = 0) {
        int64_t due = first + (n - 1) * timer.periodMs.load() * kMs;
        TickEntry entry(timer, due, due + lateMs * kMs);
        return entry.ms();
    }

    GeneratorTimer timer{};
    int64_t first = 0;
};

TEST_F(TickEntryTest, OnTimeTicksCoverOnePeriodEach) {
    start(2);
    for (int n = 1; n <= 3; ++n) {
        EXPECT_EQ(tick(n), 2u);
    }
    // Running a little late within its period changes nothing.
    EXPECT_EQ(tick(4, 1), 2u);
    EXPECT_EQ(timer.activeTicks.load(), 0);
}

TEST_F(TickEntryTest, OverlappingTickDoesNothingAndTheNextCoversItsTime) {
    start(5);
    {
        TickEntry slow(timer, first, first);
        ASSERT_TRUE(slow.covers());
        EXPECT_EQ(slow.ms(), 5u);
        TickEntry overlapping(timer, first + 5 * kMs, first + 5 * kMs);
        EXPECT_FALSE(overlapping.covers());
        TickEntry another(timer, first + 10 * kMs, first + 10 * kMs);
        EXPECT_FALSE(another.covers());
    }
    EXPECT_EQ(tick(4), 15u);
}

TEST_F(TickEntryTest, ALateTickCoversEveryElapsedPeriodAndTheOverdueOnesNothing) {
    start(5);
    EXPECT_EQ(tick(1), 5u);
    // Tick 2 runs 42 ms late: ticks 2 to 10 are due by then.
    EXPECT_EQ(tick(2, 42), 45u);
    for (int n = 3; n <= 10; ++n) {
        EXPECT_EQ(tick(n, 42 - (n - 2) * 5), 0u) << n;
    }
    EXPECT_EQ(tick(11), 5u);
}

TEST_F(TickEntryTest, SkippedTicksAreMadeUpUpToTenSeconds) {
    start(5);
    EXPECT_EQ(tick(1), 5u);
    // The timer skipped from tick 1 to tick 601 (3 s): nothing is lost.
    EXPECT_EQ(tick(601), 3000u);
    // A minute behind: ten seconds are made up, the rest is given up, the grid is kept.
    EXPECT_EQ(tick(12601), 10'000u);
    EXPECT_EQ(tick(12602), 5u);
}

} // namespace
} // namespace cvx::timecode
