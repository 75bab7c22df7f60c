// The multimedia timers: due order and due times on the manual clock, periodic timers
// without drift, ids, limits, and killing timers while their callbacks run.
#include "cvx_platform.h"
#include "platform/service_clock.h"
#include "platform/timer_service.h"
#include "vmidi.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace cvx::platform {
namespace {

struct Fired {
    char name;
    DWORD at; // relative to the test's start
};

class ManualTimers : public ::testing::Test {
protected:
    void SetUp() override {
        cvxClockManual(1);
        start = timeGetTime();
    }
    void TearDown() override { cvxClockManual(0); }

    struct Tag {
        ManualTimers* test;
        char name;
    };
    static void record(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
        auto* tag = reinterpret_cast<Tag*>(user);
        tag->test->fired.push_back({tag->name, timeGetTime() - tag->test->start});
    }
    UINT set(UINT delay, Tag& tag, UINT flags = TIME_ONESHOT) {
        UINT id = timeSetEvent(delay, 2, &record, reinterpret_cast<DWORD_PTR>(&tag), flags);
        EXPECT_NE(id, 0u);
        return id;
    }
    std::string order() const {
        std::string out;
        for (auto& f : fired) {
            out += f.name;
            out += std::to_string(f.at);
            out += ' ';
        }
        return out;
    }

    DWORD start = 0;
    std::vector<Fired> fired;
};

TEST_F(ManualTimers, AdvanceRunsTheDueCallbacksInDueOrderEachSeeingItsDueTime) {
    Tag a{this, 'A'}, b{this, 'B'}, c{this, 'C'}, p{this, 'P'};
    set(30, a);
    set(10, b);
    set(20, c);
    UINT periodic = set(15, p, TIME_PERIODIC);
    cvxClockAdvance(9);
    EXPECT_TRUE(fired.empty());
    EXPECT_EQ(timeGetTime() - start, 9u);
    EXPECT_EQ(GetTickCount(), timeGetTime());
    cvxClockAdvance(36);
    EXPECT_EQ(order(), "B10 P15 C20 A30 P30 P45 ");
    EXPECT_EQ(timeGetTime() - start, 45u);
    EXPECT_EQ(timeKillEvent(periodic), TIMERR_NOERROR);
    cvxClockAdvance(100);
    EXPECT_EQ(fired.size(), 6u);
}

TEST_F(ManualTimers, APeriodicTimerKeepsItsAbsoluteScheduleWhateverTheSteps) {
    Tag p{this, 'P'};
    UINT id = set(7, p, TIME_PERIODIC);
    uint32_t steps[] = {1, 13, 500, 3, 2000, 6, 1477, 7, 3000 - 7};
    for (uint32_t step : steps) {
        cvxClockAdvance(step);
    }
    ASSERT_EQ(fired.size(), 1000u);
    for (size_t i = 0; i < fired.size(); ++i) {
        ASSERT_EQ(fired[i].at, 7 * (i + 1)) << i;
    }
    timeKillEvent(id);
}

struct Chain {
    int remaining = 3;
    std::vector<DWORD> times;
    static void fire(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
        auto* self = reinterpret_cast<Chain*>(user);
        self->times.push_back(timeGetTime());
        if (--self->remaining > 0) {
            timeSetEvent(5, 1, &Chain::fire, user, TIME_ONESHOT);
        }
    }
};

TEST_F(ManualTimers, ATimerSetInsideACallbackRunsInTheSameAdvanceWhenItIsDue) {
    Chain chain;
    ASSERT_NE(timeSetEvent(5, 1, &Chain::fire, reinterpret_cast<DWORD_PTR>(&chain), 0), 0u);
    cvxClockAdvance(14);
    EXPECT_EQ(chain.times, (std::vector<DWORD>{start + 5, start + 10}));
    cvxClockAdvance(1);
    EXPECT_EQ(chain.times.size(), 3u);
}

struct SelfKiller {
    int calls = 0;
    MMRESULT killResult = 99;
    static void fire(UINT id, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
        auto* self = reinterpret_cast<SelfKiller*>(user);
        if (++self->calls == 3) {
            self->killResult = timeKillEvent(id);
        }
    }
};

TEST_F(ManualTimers, KillingATimerFromItsOwnCallbackStopsIt) {
    SelfKiller killer;
    UINT id =
        timeSetEvent(5, 1, &SelfKiller::fire, reinterpret_cast<DWORD_PTR>(&killer), TIME_PERIODIC);
    cvxClockAdvance(100);
    EXPECT_EQ(killer.calls, 3);
    EXPECT_EQ(killer.killResult, TIMERR_NOERROR);
    EXPECT_EQ(timeKillEvent(id), MMSYSERR_INVALPARAM);
}

TEST_F(ManualTimers, IdsAreNeverZeroAndAStaleIdKillsNothing) {
    Tag t{this, 'T'};
    std::set<UINT> ids;
    for (int i = 0; i < 3000; ++i) {
        UINT id = set(1000, t);
        ASSERT_TRUE(ids.insert(id).second) << "id reused after " << i;
        ASSERT_EQ(timeKillEvent(id), TIMERR_NOERROR);
    }
    UINT stale = set(10, t);
    timeKillEvent(stale);
    UINT fresh = set(10, t);
    EXPECT_EQ(timeKillEvent(stale), MMSYSERR_INVALPARAM);
    cvxClockAdvance(10);
    EXPECT_EQ(order(), "T10 ");
    EXPECT_EQ(timeKillEvent(fresh), MMSYSERR_INVALPARAM); // a fired one-shot is gone
    EXPECT_EQ(timeKillEvent(0), MMSYSERR_INVALPARAM);
}

TEST_F(ManualTimers, SetEventRefusesBadArgumentsAndRunsOutOfSlotsCleanly) {
    Tag t{this, 'T'};
    auto user = reinterpret_cast<DWORD_PTR>(&t);
    EXPECT_EQ(timeSetEvent(0, 1, &record, user, 0), 0u);
    EXPECT_EQ(timeSetEvent(1000001, 1, &record, user, 0), 0u);
    EXPECT_EQ(timeSetEvent(10, 1, nullptr, user, 0), 0u);
    EXPECT_EQ(timeSetEvent(10, 1, &record, user, 0x10), 0u); // event-set callbacks
    std::vector<UINT> ids;
    for (;;) {
        UINT id = timeSetEvent(50, 1, &record, user, TIME_PERIODIC | TIME_KILL_SYNCHRONOUS);
        if (id == 0) {
            break;
        }
        ids.push_back(id);
    }
    EXPECT_EQ(ids.size(), TimerService::kSlots);
    for (UINT id : ids) {
        EXPECT_EQ(timeKillEvent(id), TIMERR_NOERROR);
    }
    EXPECT_EQ(timeKillEvent(set(1, t)), TIMERR_NOERROR);
}

struct DueProbe {
    std::vector<std::pair<int64_t, int64_t>> seen; // (due, now) per call
    static void fire(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
        reinterpret_cast<DueProbe*>(user)->seen.emplace_back(TimerService::runningDueNs(),
                                                             clock::nowNs());
    }
};

// The thread held up (the clock moved while no timer ran): a periodic timer runs its overdue
// periods at once, each knowing the deadline it was due at; more than a second behind, it
// skips ahead to one period after it ran.
TEST_F(ManualTimers, OverdueTicksRunAtOnceKnowingTheirDueTimeAndFarBehindSkipAhead) {
    constexpr int64_t kMs = 1'000'000;
    DueProbe probe;
    int64_t origin = clock::nowNs();
    UINT id =
        timeSetEvent(10, 1, &DueProbe::fire, reinterpret_cast<DWORD_PTR>(&probe), TIME_PERIODIC);
    clock::advanceManualTo(origin + 35 * kMs);
    cvxClockAdvance(0);
    ASSERT_EQ(probe.seen.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(probe.seen[i].first, origin + int64_t(i + 1) * 10 * kMs);
        EXPECT_EQ(probe.seen[i].second, origin + 35 * kMs);
    }
    cvxClockAdvance(5);
    EXPECT_EQ(probe.seen.back().first, origin + 40 * kMs);
    probe.seen.clear();
    clock::advanceManualTo(origin + 3040 * kMs);
    cvxClockAdvance(25);
    ASSERT_EQ(probe.seen.size(), 3u);
    EXPECT_EQ(probe.seen[0].first, origin + 50 * kMs);
    EXPECT_EQ(probe.seen[1].first, origin + 3050 * kMs);
    EXPECT_EQ(probe.seen[2].first, origin + 3060 * kMs);
    EXPECT_EQ(TimerService::runningDueNs(), 0);
    timeKillEvent(id);
}

TEST(TimerCaps, DevCapsAndPeriods) {
    TIMECAPS caps{};
    ASSERT_EQ(timeGetDevCaps(&caps, sizeof caps), TIMERR_NOERROR);
    EXPECT_EQ(caps.wPeriodMin, 1u);
    EXPECT_EQ(caps.wPeriodMax, 1000000u);
    EXPECT_EQ(timeGetDevCaps(nullptr, sizeof caps), TIMERR_NOCANDO);
    EXPECT_EQ(timeGetDevCaps(&caps, 4), TIMERR_NOCANDO);
    EXPECT_EQ(timeBeginPeriod(1), TIMERR_NOERROR);
    EXPECT_EQ(timeEndPeriod(1), TIMERR_NOERROR);
    EXPECT_EQ(timeBeginPeriod(0), TIMERR_NOCANDO);
    EXPECT_EQ(timeEndPeriod(2000000), TIMERR_NOCANDO);
}

// Real clock: a periodic 1 ms timer is killed from another thread while one of its callbacks
// is held open; once timeKillEvent returns the callback is not running and never runs again.
struct Racer {
    std::atomic<bool> inside{false};
    std::atomic<bool> killed{false};
    std::atomic<int> lateCalls{0};
    std::mutex mutex;
    std::condition_variable cv;
    int calls = 0;
    bool killing = false;

    static void fire(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
        auto* self = reinterpret_cast<Racer*>(user);
        self->inside.store(true);
        if (self->killed.load()) {
            self->lateCalls.fetch_add(1);
        }
        {
            std::unique_lock lock(self->mutex);
            ++self->calls;
            self->cv.notify_all();
            // The third callback stays inside until the kill has started.
            self->cv.wait(lock, [&] { return self->calls < 3 || self->killing; });
        }
        self->inside.store(false);
    }
};

struct Sentinel {
    std::mutex mutex;
    std::condition_variable cv;
    bool fired = false;
    static void fire(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
        auto* self = reinterpret_cast<Sentinel*>(user);
        std::lock_guard guard(self->mutex);
        self->fired = true;
        self->cv.notify_all();
    }
    void wait() {
        std::unique_lock lock(mutex);
        cv.wait(lock, [&] { return fired; });
    }
    bool waitUpTo(std::chrono::seconds limit) {
        std::unique_lock lock(mutex);
        return cv.wait_for(lock, limit, [&] { return fired; });
    }
};

TEST(TimerRace, AfterKillReturnsTheCallbackNeverRuns) {
    for (int round = 0; round < 30; ++round) {
        Racer racer;
        UINT id =
            timeSetEvent(1, 1, &Racer::fire, reinterpret_cast<DWORD_PTR>(&racer), TIME_PERIODIC);
        ASSERT_NE(id, 0u);
        std::thread killer([&] {
            {
                std::unique_lock lock(racer.mutex);
                racer.cv.wait(lock, [&] { return racer.calls >= 3; });
                racer.killing = true;
                racer.cv.notify_all();
            }
            EXPECT_EQ(timeKillEvent(id), TIMERR_NOERROR);
            EXPECT_FALSE(racer.inside.load());
            racer.killed.store(true);
        });
        killer.join();
        // Timers run in deadline order on one thread: once a later one-shot has run, the
        // killed periodic timer would have had several chances to run.
        Sentinel sentinel;
        ASSERT_NE(timeSetEvent(5, 1, &Sentinel::fire, reinterpret_cast<DWORD_PTR>(&sentinel), 0),
                  0u);
        sentinel.wait();
        EXPECT_EQ(racer.lateCalls.load(), 0);
        EXPECT_EQ(timeKillEvent(id), MMSYSERR_INVALPARAM);
    }
}

// Real clock: the timer thread waits for a far deadline; a nearer timer set from another
// thread, or after the manual clock was used and left, still runs on time (the thread is
// woken to wait for the new deadline instead).
TEST(TimerWake, ANearerTimerWakesTheThreadWaitingForAFarOne) {
    Sentinel far;
    UINT farId = timeSetEvent(600'000, 1, &Sentinel::fire, reinterpret_cast<DWORD_PTR>(&far), 0);
    ASSERT_NE(farId, 0u);
    for (int round = 0; round < 20; ++round) {
        if (round == 10) {
            cvxClockManual(1);
            cvxClockAdvance(3);
            cvxClockManual(0);
        }
        Sentinel near;
        auto started = std::chrono::steady_clock::now();
        ASSERT_NE(timeSetEvent(2, 1, &Sentinel::fire, reinterpret_cast<DWORD_PTR>(&near), 0), 0u);
        ASSERT_TRUE(near.waitUpTo(std::chrono::seconds(30))) << "round " << round;
        EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(2));
    }
    EXPECT_EQ(timeKillEvent(farId), TIMERR_NOERROR);
    EXPECT_FALSE(far.fired);
}

struct RealSelfKiller {
    std::atomic<int> calls{0};
    Sentinel done;
    static void fire(UINT id, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
        auto* self = reinterpret_cast<RealSelfKiller*>(user);
        if (self->calls.fetch_add(1) + 1 == 3) {
            EXPECT_EQ(timeKillEvent(id), TIMERR_NOERROR); // must not wait for itself
            Sentinel::fire(0, 0, reinterpret_cast<DWORD_PTR>(&self->done), 0, 0);
        }
    }
};

TEST(TimerRace, KillFromItsOwnCallbackOnTheTimerThreadDoesNotDeadlock) {
    RealSelfKiller killer;
    UINT id = timeSetEvent(1, 1, &RealSelfKiller::fire, reinterpret_cast<DWORD_PTR>(&killer),
                           TIME_PERIODIC);
    ASSERT_NE(id, 0u);
    killer.done.wait();
    Sentinel after;
    timeSetEvent(5, 1, &Sentinel::fire, reinterpret_cast<DWORD_PTR>(&after), 0);
    after.wait();
    EXPECT_EQ(killer.calls.load(), 3);
}

} // namespace
} // namespace cvx::platform
