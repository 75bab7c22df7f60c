#include "shell/instance_slots.h"

#include "support/isolated_home.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <set>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace corvex {
namespace {

// A child process that claims a slot, reports its number on a pipe and then waits until it
// is killed.
struct ClaimingChild {
    pid_t pid = -1;
    int slot = -2;
};

ClaimingChild startClaimingChild(const std::string& folder) {
    int report[2];
    EXPECT_EQ(::pipe(report), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(report[0]);
        std::optional<InstanceSlot> slot = claimInstanceSlot(folder);
        const int number = slot ? slot->slot() : -1;
        [[maybe_unused]] const ssize_t written = ::write(report[1], &number, sizeof number);
        ::pause();
        ::_exit(0);
    }
    ::close(report[1]);
    ClaimingChild child{pid, -2};
    EXPECT_EQ(::read(report[0], &child.slot, sizeof child.slot),
              static_cast<ssize_t>(sizeof child.slot));
    ::close(report[0]);
    return child;
}

void kill(const ClaimingChild& child) {
    ::kill(child.pid, SIGKILL);
    ::waitpid(child.pid, nullptr, 0);
}

TEST(InstanceSlotsTest, ClaimsTheLowestFreeSlotAndCountsTheOthers) {
    const std::string folder = instanceLockFolder();
    ASSERT_FALSE(folder.empty());
    std::optional<InstanceSlot> first = claimInstanceSlot(folder);
    std::optional<InstanceSlot> second = claimInstanceSlot(folder);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->slot(), 0);
    EXPECT_EQ(first->instanceNumber(), 1);
    EXPECT_EQ(first->runningCount(), 1);
    EXPECT_EQ(second->slot(), 1);
    EXPECT_EQ(second->runningCount(), 2);
    EXPECT_EQ(heldInstanceSlots(folder), (std::vector<int>{0, 1}));

    first->release();
    std::optional<InstanceSlot> again = claimInstanceSlot(folder);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->slot(), 0);
    EXPECT_EQ(again->runningCount(), 2);
}

TEST(InstanceSlotsTest, TheSeventeenthClaimFails) {
    const std::string folder = instanceLockFolder();
    std::vector<InstanceSlot> slots;
    for (int i = 0; i < kInstanceSlotCount; ++i) {
        std::optional<InstanceSlot> slot = claimInstanceSlot(folder);
        ASSERT_TRUE(slot);
        slots.push_back(std::move(*slot));
    }
    EXPECT_EQ(slots.back().runningCount(), kInstanceSlotCount);
    EXPECT_FALSE(claimInstanceSlot(folder));
}

TEST(InstanceSlotsTest, ProcessesStartingTogetherGetDifferentSlots) {
    const std::string folder = instanceLockFolder();
    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    // Children block on the start pipe; the reports are read one by one, so start them all
    // first and release them together by closing the write end.
    std::vector<pid_t> pids;
    std::vector<int> reports;
    for (int i = 0; i < 6; ++i) {
        int report[2];
        ASSERT_EQ(::pipe(report), 0);
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(start[1]);
            char go = 0;
            [[maybe_unused]] const ssize_t got = ::read(start[0], &go, 1);
            std::optional<InstanceSlot> slot = claimInstanceSlot(folder);
            const int number = slot ? slot->slot() : -1;
            [[maybe_unused]] const ssize_t written = ::write(report[1], &number, sizeof number);
            ::pause();
            ::_exit(0);
        }
        ::close(report[1]);
        pids.push_back(pid);
        reports.push_back(report[0]);
    }
    ::close(start[0]);
    ::close(start[1]);
    std::set<int> slots;
    for (const int fd : reports) {
        int number = -2;
        EXPECT_EQ(::read(fd, &number, sizeof number), static_cast<ssize_t>(sizeof number));
        ::close(fd);
        slots.insert(number);
    }
    for (const pid_t pid : pids) {
        kill(ClaimingChild{pid, 0});
    }
    EXPECT_EQ(slots, (std::set<int>{0, 1, 2, 3, 4, 5}));
}

TEST(InstanceSlotsTest, AKilledInstancesSlotIsFreeAtOnce) {
    const std::string folder = instanceLockFolder();
    const ClaimingChild first = startClaimingChild(folder);
    const ClaimingChild second = startClaimingChild(folder);
    EXPECT_EQ(first.slot, 0);
    EXPECT_EQ(second.slot, 1);
    EXPECT_EQ(heldInstanceSlots(folder), (std::vector<int>{0, 1}));

    kill(first);
    std::optional<InstanceSlot> mine = claimInstanceSlot(folder);
    ASSERT_TRUE(mine);
    EXPECT_EQ(mine->slot(), 0);
    EXPECT_EQ(mine->runningCount(), 2);
    kill(second);
}

TEST(InstanceSlotsTest, LockFolderIsPrivateToTheUser) {
    const std::string folder = instanceLockFolder();
    EXPECT_EQ(folder, cvx::testing::isolatedHome() + "/run/corvex");
    struct stat info {};
    ASSERT_EQ(::stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

} // namespace
} // namespace corvex
