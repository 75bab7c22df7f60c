#include "views/message_target.h"

#include "cvx_records.h"

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace corvex {
namespace {

constexpr uint32_t kCommandMessage = 0x0111; // a window command, not coalesced

struct Received {
    uint32_t msg;
    uintptr_t wParam;
    intptr_t lParam;
};

class MessageTargetTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "message_target_test";
        static char* argv[] = {name, nullptr};
        static QCoreApplication application(argc, argv);
    }
};

TEST_F(MessageTargetTest, PostsFromOtherThreadsArriveOnTheUserInterfaceThreadInOrder) {
    std::vector<Received> received;
    std::thread::id handlerThread;
    MessageTarget target([&](uint32_t msg, uintptr_t w, intptr_t l) {
        handlerThread = std::this_thread::get_id();
        received.push_back({msg, w, l});
    });
    ASSERT_NE(target.hwnd(), nullptr);

    constexpr int kPosters = 3;
    constexpr int kEach = 500;
    std::vector<std::thread> posters;
    for (int p = 0; p < kPosters; ++p) {
        posters.emplace_back([&target, p] {
            for (int i = 0; i < kEach; ++i) {
                cvxPostMessage(target.hwnd(), kCommandMessage, static_cast<uintptr_t>(p), i);
            }
        });
    }
    for (auto& poster : posters) {
        poster.join();
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() == kPosters * kEach; }, 10000));
    EXPECT_EQ(handlerThread, std::this_thread::get_id());
    std::vector<intptr_t> next(kPosters, 0);
    for (const Received& message : received) {
        ASSERT_EQ(message.lParam, next[message.wParam]);
        ++next[message.wParam];
    }
    EXPECT_EQ(target.droppedNotifications(), 0u);
}

TEST_F(MessageTargetTest, QueueNotificationsAreCoalescedUntilDelivered) {
    int events = 0;
    int patches = 0;
    MessageTarget target([&](uint32_t msg, uintptr_t, intptr_t) {
        events += msg == WM_CVX_EVENTS ? 1 : 0;
        patches += msg == WM_CVX_PATCH_CHANGE ? 1 : 0;
    });
    for (int i = 0; i < 100; ++i) {
        cvxPostMessage(target.hwnd(), WM_CVX_EVENTS, 0, 0);
        cvxPostMessage(target.hwnd(), WM_CVX_PATCH_CHANGE, 0, i);
    }
    target.dispatchPending();
    EXPECT_EQ(events, 1);
    EXPECT_EQ(patches, 100);

    cvxPostMessage(target.hwnd(), WM_CVX_EVENTS, 0, 0);
    target.dispatchPending();
    EXPECT_EQ(events, 2) << "a notification after delivery is queued again";
}

TEST_F(MessageTargetTest, NoPostReachesADestroyedTarget) {
    int calls = 0;
    HWND window = nullptr;
    {
        MessageTarget target([&](uint32_t, uintptr_t, intptr_t) { ++calls; });
        window = target.hwnd();
        cvxPostMessage(window, kCommandMessage, 0, 0);
    }
    EXPECT_EQ(cvxPostMessage(window, kCommandMessage, 0, 0), 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(calls, 0);
}

} // namespace
} // namespace corvex
