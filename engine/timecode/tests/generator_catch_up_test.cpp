// The generators on a stalled timer thread: the clock moves on while no timer runs (a busy
// machine, a long callback), then the thread catches up. Every quarter frame and clock
// due during the stall goes out when the thread resumes, and every later one at exactly
// the time it would have had without the stall: the stream is not shifted, nothing is
// lost or sent twice.
#include "client_fixture.h"
#include "generated_recorder.h"
#include "platform/service_clock.h"
#include "vmidi.h"

#include <gtest/gtest.h>

#include <vector>

namespace cvx::test {
namespace {

constexpr uint32_t kRunMs = 20'000;
constexpr uint32_t kStallAfterMs = 100;
constexpr int64_t kMsNs = 1'000'000;

struct Emission {
    uint32_t at; // ms after the generators started
    uint8_t data;
};

struct Streams {
    std::vector<Emission> quarterFrames;
    std::vector<Emission> clocks;
};

class GeneratorCatchUpTest : public ClientTest {
protected:
    void SetUp() override {
        ClientTest::SetUp();
        client->timeCode.send = recordGenerated;
    }

    // Runs MTC at 30 fps and the clock at 120 BPM (timebase 96), both on 5 ms ticks, for
    // kRunMs; after kStallAfterMs the timer thread is held for `stallMs`.
    Streams run(uint32_t stallMs) {
        sentMessages().clear();
        EXPECT_EQ(m32ConfigMTC(handle, 3, 5, 0), 1);
        EXPECT_EQ(m32ConfigSync(handle, 5, 12000, 96), 1);
        uint32_t started = timeGetTime();
        EXPECT_EQ(m32GenMTCStart(handle), 1);
        EXPECT_EQ(m32StartClock(handle), 1);
        cvxClockAdvance(kStallAfterMs);
        stallTimerThread(stallMs);
        cvxClockAdvance(kRunMs - kStallAfterMs - stallMs);
        m32GenMTCStop(handle, 1);
        m32StopClock(handle);
        Streams streams;
        for (const SentMessage& m : sentMessages()) {
            auto& stream = m.status == 0xF1 ? streams.quarterFrames : streams.clocks;
            stream.push_back({m.time - started, m.data1});
        }
        return streams;
    }

    // The clock moves on without any timer running; the next advance finds them overdue.
    static void stallTimerThread(uint32_t ms) {
        platform::clock::advanceManualTo(platform::clock::nowNs() + int64_t{ms} * kMsNs);
    }

    // What a stall of `stallMs` may change: emissions due during it go out when it ends.
    static void expectOnlyTheStalledOnesMoved(const std::vector<Emission>& reference,
                                              const std::vector<Emission>& stalled,
                                              uint32_t stallMs) {
        uint32_t stallEnd = kStallAfterMs + stallMs;
        ASSERT_EQ(stalled.size(), reference.size());
        size_t moved = 0;
        for (size_t k = 0; k < reference.size(); ++k) {
            const Emission& want = reference[k];
            bool due = want.at > kStallAfterMs && want.at <= stallEnd;
            moved += due ? 1 : 0;
            ASSERT_EQ(stalled[k].at, due ? stallEnd : want.at) << "emission " << k;
            ASSERT_EQ(stalled[k].data, want.data) << "emission " << k;
        }
        EXPECT_GT(moved, 0u);
    }
};

TEST_F(GeneratorCatchUpTest, AShortStallDelaysOnlyWhatFellDueDuringIt) {
    Streams reference = run(0);
    ASSERT_NEAR(double(reference.quarterFrames.size()), 2400.0, 1.0);
    ASSERT_NEAR(double(reference.clocks.size()), 960.0, 1.0);
    Streams stalled = run(43);
    expectOnlyTheStalledOnesMoved(reference.quarterFrames, stalled.quarterFrames, 43);
    expectOnlyTheStalledOnesMoved(reference.clocks, stalled.clocks, 43);
}

// Longer than the timer service lets a periodic timer fall behind before it skips ahead.
TEST_F(GeneratorCatchUpTest, AStallOfSecondsShiftsNothingEither) {
    Streams reference = run(0);
    Streams stalled = run(3'000);
    expectOnlyTheStalledOnesMoved(reference.quarterFrames, stalled.quarterFrames, 3'000);
    expectOnlyTheStalledOnesMoved(reference.clocks, stalled.clocks, 3'000);
}

TEST_F(GeneratorCatchUpTest, AGeneratorStartedAgainRunsOnItsNewGrid) {
    Streams first = run(0);
    cvxClockAdvance(1'234);
    Streams second = run(0);
    ASSERT_EQ(second.quarterFrames.size(), first.quarterFrames.size());
    for (size_t k = 0; k < first.quarterFrames.size(); ++k) {
        ASSERT_EQ(second.quarterFrames[k].at, first.quarterFrames[k].at) << k;
    }
}

} // namespace
} // namespace cvx::test
