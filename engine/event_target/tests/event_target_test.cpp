// Event targets on their own: order, waking, coalescing, overflow, concurrent posters and
// destruction, through the public calls only.
#include "cvx_platform.h"
#include "cvx_records.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

constexpr uint32_t kPlainMessage = 0x801Au; // WM_CVX_SYSEXDATA: never coalesced

bool readable(int fd, int timeoutMs) {
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, timeoutMs) == 1 && (p.revents & POLLIN) != 0;
}

std::vector<CvxMessage> drain(CvxEventTarget* target) {
    std::vector<CvxMessage> messages;
    CvxMessage m{};
    while (cvxEventTargetNext(target, &m)) {
        messages.push_back(m);
    }
    return messages;
}

class EventTarget : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(target, nullptr); }
    void TearDown() override { cvxEventTargetDestroy(target); }

    HWND window() const { return cvxEventTargetWindow(target); }

    CvxEventTarget* target = cvxEventTargetCreate(16);
};

TEST_F(EventTarget, PostsArriveInOrderWithTheirParametersAndWakeThePoller) {
    const int fd = cvxEventTargetFd(target);
    EXPECT_FALSE(readable(fd, 0));
    ASSERT_EQ(cvxPostMessage(window(), kPlainMessage, 7, -3), 1);
    ASSERT_EQ(cvxPostMessage(window(), WM_CVX_MTC_TIME, 0x01020304, 0), 1);
    EXPECT_TRUE(readable(fd, 0));

    auto messages = drain(target);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].msg, kPlainMessage);
    EXPECT_EQ(messages[0].wParam, 7u);
    EXPECT_EQ(messages[0].lParam, -3);
    EXPECT_EQ(messages[1].msg, WM_CVX_MTC_TIME);
    EXPECT_EQ(messages[1].wParam, 0x01020304u);
    EXPECT_FALSE(readable(fd, 0)) << "drained, so nothing should wake the poller";

    ASSERT_EQ(cvxPostMessage(window(), kPlainMessage, 1, 1), 1);
    EXPECT_TRUE(readable(fd, 0)) << "a post after draining wakes again";
}

TEST_F(EventTarget, EngineNotificationsWaitOncePerKindUntilTaken) {
    for (int i = 0; i < 100; ++i) {
        cvxPostMessage(window(), WM_CVX_EVENTS, 0, 0);
        cvxPostMessage(window(), WM_CVX_SCRIPTINPUT, 0, 0);
        cvxPostMessage(window(), kPlainMessage, 0, i);
        if (i < 3) {
            cvxPostMessage(window(), WM_CVX_DOCK_DATA, 0, 0);
            cvxPostMessage(window(), WM_CVX_AUTOMATION_DATA, 0, 0);
        }
    }
    CvxMessage m{};
    std::vector<uint32_t> kinds;
    int plain = 0;
    bool reposted = false;
    while (cvxEventTargetNext(target, &m)) {
        if (m.msg == kPlainMessage) {
            ++plain;
        } else {
            kinds.push_back(m.msg);
        }
        if (m.msg == WM_CVX_EVENTS && !reposted) {
            // Taken: the next notification must be delivered, not merged into this one.
            cvxPostMessage(window(), WM_CVX_EVENTS, 0, 0);
            reposted = true;
        }
    }
    // 16 slots: the first four coalesced notifications, then plain messages until full.
    EXPECT_EQ(kinds, (std::vector<uint32_t>{WM_CVX_EVENTS, WM_CVX_SCRIPTINPUT, WM_CVX_DOCK_DATA,
                                            WM_CVX_AUTOMATION_DATA, WM_CVX_EVENTS}));
    EXPECT_EQ(plain, 12);
    EXPECT_EQ(cvxEventTargetDropped(target), 88u);
}

TEST_F(EventTarget, AFullQueueDropsAndCountsThenTakesPostsAgain) {
    for (int i = 0; i < 20; ++i) {
        cvxPostMessage(window(), kPlainMessage, 0, i);
    }
    EXPECT_EQ(cvxEventTargetDropped(target), 4u);
    auto messages = drain(target);
    ASSERT_EQ(messages.size(), 16u);
    EXPECT_EQ(messages.front().lParam, 0);
    EXPECT_EQ(messages.back().lParam, 15) << "the newest posts are the ones dropped";

    cvxPostMessage(window(), WM_CVX_EVENTS, 0, 0);
    EXPECT_TRUE(readable(cvxEventTargetFd(target), 0));
    ASSERT_EQ(drain(target).size(), 1u) << "a dropped notification must not stay pending";
}

TEST(EventTargetThreads, ConcurrentPostersLoseNothingAndKeepEachPostersOrder) {
    constexpr int kPosters = 4;
    constexpr int kPerPoster = 10000;
    CvxEventTarget* target = cvxEventTargetCreate(kPosters * kPerPoster);
    ASSERT_NE(target, nullptr);
    HWND window = cvxEventTargetWindow(target);

    std::vector<std::thread> posters;
    for (int p = 0; p < kPosters; ++p) {
        posters.emplace_back([window, p] {
            for (int i = 0; i < kPerPoster; ++i) {
                cvxPostMessage(window, kPlainMessage, static_cast<uintptr_t>(p), i);
            }
        });
    }
    std::vector<intptr_t> next(kPosters, 0);
    int received = 0;
    bool ordered = true;
    while (received < kPosters * kPerPoster && readable(cvxEventTargetFd(target), 30000)) {
        CvxMessage m{};
        while (cvxEventTargetNext(target, &m)) {
            ordered = ordered && m.lParam == next[m.wParam];
            next[m.wParam] = m.lParam + 1;
            ++received;
        }
    }
    for (auto& poster : posters) {
        poster.join();
    }
    EXPECT_EQ(received, kPosters * kPerPoster);
    EXPECT_TRUE(ordered);
    EXPECT_EQ(cvxEventTargetDropped(target), 0u);
    cvxEventTargetDestroy(target);
}

TEST(EventTargetLifetime, ADestroyedTargetRefusesPosts) {
    CvxEventTarget* target = cvxEventTargetCreate(0);
    ASSERT_NE(target, nullptr);
    HWND window = cvxEventTargetWindow(target);
    cvxEventTargetDestroy(target);
    EXPECT_EQ(cvxPostMessage(window, kPlainMessage, 0, 0), 0);
}

} // namespace
