#include "client_fixture.h"
#include "core/notifier.h"

namespace {

using cvx::test::ClientTest;
using cvx::test::RecordingWindow;

class RawNotifyTest : public ClientTest {
protected:
    void SetUp() override {
        ClientTest::SetUp();
        ASSERT_EQ(m32AttachRawMonitor(handle, raw.handle()), 1);
        start = timeGetTime();
    }

    std::vector<uint32_t> noticeTimes() const {
        std::vector<uint32_t> times;
        for (const auto& p : raw.posts()) {
            EXPECT_EQ(p.msg, WM_CVX_EVENTS);
            times.push_back(p.time - start);
        }
        return times;
    }

    RecordingWindow raw;
    uint32_t start = 0;
};

TEST_F(RawNotifyTest, FirstNoticeComesFiveMillisecondsLater) {
    client->notify.lastRawTick = start - 1000;
    cvx::core::scheduleRawNotify(*client);
    cvxClockAdvance(4);
    EXPECT_TRUE(raw.posts().empty());
    cvxClockAdvance(1);
    EXPECT_EQ(noticeTimes(), std::vector<uint32_t>{5});
}

TEST_F(RawNotifyTest, NoticesAreSpacedTwentyMillisecondsApart) {
    client->notify.lastRawTick = start - 1000;
    cvx::core::scheduleRawNotify(*client);
    cvxClockAdvance(6); // first notice at 5
    cvx::core::scheduleRawNotify(*client);
    cvxClockAdvance(100);
    EXPECT_EQ(noticeTimes(), (std::vector<uint32_t>{5, 25}));
}

TEST_F(RawNotifyTest, ABurstRidesOnOnePendingNotice) {
    client->notify.lastRawTick = start - 1000;
    for (int i = 0; i < 500; ++i) {
        cvx::core::scheduleRawNotify(*client);
    }
    cvxClockAdvance(2);
    cvx::core::scheduleRawNotify(*client);
    cvxClockAdvance(100);
    EXPECT_EQ(noticeTimes(), std::vector<uint32_t>{5});
}

TEST_F(RawNotifyTest, DetachingCancelsAPendingNotice) {
    cvx::core::scheduleRawNotify(*client);
    ASSERT_EQ(m32DetachRawMonitor(handle), 1);
    cvxClockAdvance(100);
    EXPECT_TRUE(raw.posts().empty());
}

TEST_F(ClientTest, MainWindowIsToldAtOnce) {
    cvxClockAdvance(17);
    cvx::core::notifyMain(*client);
    auto posts = mainWindow.posts();
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0].msg, WM_CVX_EVENTS);
    EXPECT_EQ(posts[0].wParam, 0u);
    EXPECT_EQ(posts[0].lParam, 0);
    EXPECT_EQ(client->notify.lastMainTick.load(), GetTickCount());
}

} // namespace
