#include "core/pass_clock.h"

#include "vmidi.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using cvx::core::PassClock;
using cvx::core::passTime;

class PassClockTest : public ::testing::Test {
protected:
    void SetUp() override { cvxClockManual(1); }
    void TearDown() override { cvxClockManual(0); }
};

TEST_F(PassClockTest, OnePassKeepsItsFirstReadingAndNestedPassesShareIt) {
    uint32_t start = timeGetTime();
    {
        PassClock pass;
        cvxClockAdvance(3);
        EXPECT_EQ(passTime(), start);
        {
            PassClock inner;
            cvxClockAdvance(2);
            EXPECT_EQ(passTime(), start);
        }
        EXPECT_EQ(passTime(), start) << "closing the inner pass ends nothing";
    }
    EXPECT_EQ(passTime(), start + 5) << "outside a pass the clock is read";
    PassClock next;
    EXPECT_EQ(passTime(), start + 5);
}

TEST_F(PassClockTest, APassBelongsToItsThread) {
    PassClock pass;
    uint32_t start = passTime();
    cvxClockAdvance(4);
    uint32_t elsewhere = 0;
    std::thread([&] { elsewhere = passTime(); }).join();
    EXPECT_EQ(elsewhere, start + 4);
    EXPECT_EQ(passTime(), start);
}

} // namespace
