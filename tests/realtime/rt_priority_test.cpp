// Real-time priority for the engine's threads: what the call reports is what the thread
// got, and CORVEX_RT=0 keeps every thread at normal priority.
#include "platform/rt_priority.h"

#include <gtest/gtest.h>
#include <pthread.h>
#include <sched.h>

#include <cstdlib>
#include <thread>

namespace cvx::platform {
namespace {

struct Outcome {
    bool reported = false;
    int policy = -1;
    int priority = -1;
};

Outcome askOnAFreshThread(int priority) {
    Outcome outcome;
    std::thread([&] {
        outcome.reported = tryRealtimePriority(priority);
        sched_param param{};
        pthread_getschedparam(pthread_self(), &outcome.policy, &param);
        outcome.priority = param.sched_priority;
    }).join();
    return outcome;
}

TEST(RealtimePriority, ReportsWhatTheThreadGotAndCanBeSwitchedOff) {
    const Outcome granted = askOnAFreshThread(50);
    if (granted.reported) {
        EXPECT_EQ(granted.policy, SCHED_FIFO);
        EXPECT_GE(granted.priority, sched_get_priority_min(SCHED_FIFO));
        EXPECT_LE(granted.priority, 50);
    } else {
        EXPECT_EQ(granted.policy, SCHED_OTHER);
    }
    EXPECT_LE(askOnAFreshThread(1000).priority, sched_get_priority_max(SCHED_FIFO));

    setenv("CORVEX_RT", "0", 1);
    const Outcome off = askOnAFreshThread(50);
    unsetenv("CORVEX_RT");
    EXPECT_FALSE(off.reported);
    EXPECT_EQ(off.policy, SCHED_OTHER);
}

} // namespace
} // namespace cvx::platform
