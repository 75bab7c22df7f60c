// The engine lock: re-entrant, known to its holder, and priority-inheriting, so a real-time
// thread waiting for it (the input thread behind the application's GetEvent refill) lends
// the holder its priority.
#include "core/engine_lock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <fstream>
#include <pthread.h>
#include <sched.h>
#include <sstream>
#include <string>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

namespace {

using cvx::core::EngineGuard;
using cvx::core::EngineLock;
using cvx::core::engineLock;

TEST(EngineLock, IsReentrantAndKnownToItsHolderOnly) {
    EXPECT_FALSE(EngineLock::heldByCaller());
    {
        EngineGuard outer(engineLock());
        EngineGuard inner(engineLock());
        EXPECT_TRUE(EngineLock::heldByCaller());
        bool otherHolds = true;
        bool otherTook = true;
        std::thread other([&] {
            otherHolds = EngineLock::heldByCaller();
            otherTook = engineLock().try_lock();
        });
        other.join();
        EXPECT_FALSE(otherHolds);
        EXPECT_FALSE(otherTook) << "held by this thread";
    }
    EXPECT_FALSE(EngineLock::heldByCaller()) << "released at the outer guard";
}

TEST(EngineLock, InheritsPriority) {
    EXPECT_TRUE(engineLock().priorityInheriting());
}

// The kernel's priority of a thread (field 18 of its stat line): below 0 while it runs at a
// real-time priority, boosted or its own.
int kernelPriority(pid_t tid) {
    std::ifstream stat("/proc/self/task/" + std::to_string(tid) + "/stat");
    std::string line;
    std::getline(stat, line);
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::string field;
    for (int i = 3; i <= 18 && fields >> field; ++i) {
    }
    return std::stoi(field);
}

TEST(EngineLock, ARealTimeWaiterLendsTheHolderItsPriority) {
    std::atomic<pid_t> holderTid{0};
    std::atomic<bool> release{false};
    std::thread holder([&] {
        EngineGuard guard(engineLock());
        holderTid = static_cast<pid_t>(syscall(SYS_gettid));
        while (!release.load()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    while (holderTid.load() == 0) {
        std::this_thread::yield();
    }
    ASSERT_GE(kernelPriority(holderTid), 0) << "the holder starts at normal priority";

    std::atomic<int> started{-1};
    std::thread waiter([&] {
        sched_param param{};
        param.sched_priority = 10;
        started = pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
        if (started.load() == 0) {
            EngineGuard guard(engineLock());
        }
    });
    while (started.load() == -1) {
        std::this_thread::yield();
    }
    if (started.load() != 0) {
        release = true;
        waiter.join();
        holder.join();
        GTEST_SKIP() << "no permission for real-time scheduling here";
    }
    bool boosted = false;
    for (int i = 0; i < 2000 && !boosted; ++i) {
        boosted = kernelPriority(holderTid) < 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    release = true;
    waiter.join();
    holder.join();
    EXPECT_TRUE(boosted) << "the holder runs at the waiter's priority while it waits";
}

} // namespace
