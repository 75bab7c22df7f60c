#include "timecode/generator_timer.h"

#include <gtest/gtest.h>

namespace cvx::timecode {
namespace {

constexpr int64_t kMs = 1'000'000;
constexpr MessageInterval k30Fps{25'000'000'000, 3000};   // 8.333... ms
constexpr MessageInterval k2997Fps{25'000'000'000, 2997}; // 8.341675... ms
constexpr MessageInterval k120Bpm{500'000'000, 24};       // 20.833... ms

// A generator timer of 5 ms whose first tick was due at 1005 ms: its grid starts at 1 s.
class TickEntryTest : public ::testing::Test {
protected:
    static constexpr int64_t kOrigin = 1000 * kMs;
    void SetUp() override { timer.periodMs.store(5); }

    struct Tick {
        uint32_t due;
        int64_t nextNs; // after the origin
    };
    Tick tick(int64_t dueNs, int64_t nowNs, MessageInterval interval = k30Fps) {
        TickEntry entry(timer, kOrigin + dueNs, kOrigin + nowNs, interval);
        return {entry.due(), entry.nextDueNs() - kOrigin};
    }

    GeneratorTimer timer{};
};

TEST(MessageDeadline, ExactGridWithoutDriftAtEveryRate) {
    struct Case {
        MessageInterval interval;
        uint64_t k;
        int64_t dueNs;
    };
    const Case cases[] = {
        {k30Fps, 1, 8'333'333},
        {k30Fps, 3, 25'000'000},
        {k30Fps, 120 * 3600, 3600'000'000'000}, // one hour: exactly on the second
        {k2997Fps, 4 * 2997, 100'000'000'000},  // 100 s of 119.88 per second
        {{25'000'000'000, 2500}, 100, 1'000'000'000},
        {{25'000'000'000, 2400}, 96 * 600, 600'000'000'000},
        {k120Bpm, 48 * 600, 600'000'000'000}, // ten minutes of clocks at 120 BPM
        {{60'000'000'000, 24}, 1'000'000, 2'500'000'000'000'000}, // 1 BPM, no overflow
    };
    for (const Case& c : cases) {
        EXPECT_EQ(messageDueNs(0, c.interval, c.k), c.dueNs) << c.k;
    }
}

TEST_F(TickEntryTest, EachTickSendsItsMessageAndNamesTheNextDeadline) {
    // The first tick (the period after the start) is early: nothing due, the first
    // quarter frame's deadline named.
    Tick first = tick(5 * kMs, 5 * kMs);
    EXPECT_EQ(first.due, 0u);
    EXPECT_EQ(first.nextNs, 8'333'333);
    // Woken exactly on the (rounded-down) deadline or 30 us late: one message each time, and
    // the next deadline always lies ahead, so the timer never spins on one instant.
    for (uint64_t k = 1; k <= 6; ++k) {
        int64_t at = messageDueNs(0, k30Fps, k);
        Tick t = tick(at, at + (k % 2 == 0 ? 30'000 : 0));
        EXPECT_EQ(t.due, 1u) << k;
        EXPECT_EQ(t.nextNs, messageDueNs(0, k30Fps, k + 1)) << k;
    }
    EXPECT_EQ(timer.activeTicks.load(), 0);
}

TEST_F(TickEntryTest, OverlappingTickDoesNothing) {
    TickEntry slow(timer, kOrigin + 5 * kMs, kOrigin + 5 * kMs, k30Fps);
    ASSERT_TRUE(slow.covers());
    TickEntry overlapping(timer, kOrigin + 9 * kMs, kOrigin + 9 * kMs, k30Fps);
    EXPECT_FALSE(overlapping.covers());
    EXPECT_EQ(overlapping.due(), 0u);
}

TEST_F(TickEntryTest, AStallSendsWhatBecameDueAndKeepsTheGrid) {
    tick(5 * kMs, 5 * kMs);
    // 97 ms late: quarter frames 1-12 are due, the 13th (108.3 ms) stays on its deadline.
    Tick late = tick(8'333'333, 105'000'000);
    EXPECT_EQ(late.due, 12u);
    EXPECT_EQ(late.nextNs, messageDueNs(0, k30Fps, 13));
    // A minute behind: the last ten seconds are made up (1201 deadlines, both ends
    // included), the rest given up.
    Tick stalled = tick(late.nextNs, late.nextNs + 60'000 * kMs);
    EXPECT_EQ(stalled.due, 1201u);
    Tick after = tick(stalled.nextNs, stalled.nextNs);
    EXPECT_EQ(after.due, 1u);
}

TEST_F(TickEntryTest, ANewRateStartsItsGridAtTheLastDeadline) {
    tick(5 * kMs, 5 * kMs);
    int64_t third = messageDueNs(0, k30Fps, 3);
    tick(third, third); // quarter frames 1-3 sent at 30 fps
    Tick changed = tick(messageDueNs(0, k30Fps, 4), messageDueNs(0, k30Fps, 4), k120Bpm);
    EXPECT_EQ(changed.due, 0u); // 8.3 ms after the last deadline: the slower one is not due
    EXPECT_EQ(changed.nextNs, third + messageDueNs(0, k120Bpm, 1));
}

} // namespace
} // namespace cvx::timecode
