// Time code and clock through the engine's real data paths: generated messages leave
// through an output routed from the generated-event port, and what arrives on an input
// reaches the trackers and their windows.
#include "datapath_fixture.h"

#include <gtest/gtest.h>

namespace cvx::test {
namespace {

class TimeCodeWiringTest : public DataPathTest {
protected:
    void TearDown() override {
        m32GenMTCStop(handle, 0);
        m32StopClock(handle);
        m32DetachMTC(handle);
        m32DetachSync(handle);
        DataPathTest::TearDown();
    }

    RecordingWindow mtcWindow;
    RecordingWindow syncWindow;
};

TEST_F(TimeCodeWiringTest, GeneratedQuarterFramesAndClocksLeaveThroughTheGeneratedPortsRoute) {
    openOutput(1, routeFrom({CVX_GENERATED_PORT}));
    m32ConfigMTC(handle, 1, 5, 0x01020304);
    m32ConfigSync(handle, 5, 12000, 96);
    ASSERT_EQ(m32GenMTCStart(handle), 1);
    ASSERT_EQ(m32StartClock(handle), 1);
    cvxClockAdvance(55); // quarter frames at 10, 20, …, 50 ms; clocks at 20.8 and 41.7 ms
    vmidiSettle();
    EXPECT_EQ(take(1),
              (Bytes{0xF1, 0x04, 0xF1, 0x10, 0xF8, 0xF1, 0x23, 0xF1, 0x30, 0xF8, 0xF1, 0x42}));
}

TEST_F(TimeCodeWiringTest, InputTimeCodeReachesTheMtcWindow) {
    HMIDIIN in = openInput(0, 2, 256);
    ASSERT_EQ(m32AttachMTC(handle, mtcWindow.handle()), 1);
    feed(0, {0xF1, 0x01, 0xF1, 0x10, 0xF1, 0x22, 0xF1, 0x30, 0xF1, 0x44, 0xF1, 0x50, 0xF1, 0x63,
             0xF1, 0x76});
    feed(0, {0xF0, 0x7F, 0x7F, 0x01, 0x01, 0x20 | 10, 20, 30, 12, 0xF7});
    for (const Post& p : mainWindow.posts()) {
        if (p.msg == WM_CVX_SYSEXDATA) {
            m32RetBuf(in, static_cast<uint64_t>(p.lParam));
        }
    }
    std::vector<Post> posts = mtcWindow.posts();
    ASSERT_EQ(posts.size(), 2u);
    EXPECT_EQ(posts[0].msg, WM_CVX_MTC_TIME);
    EXPECT_EQ(posts[0].wParam, 3u << 29 | 0x03040201u);
    EXPECT_EQ(posts[1].wParam, 1u << 29 | 0x0A141E0Cu);
}

TEST_F(TimeCodeWiringTest, InputClockAndSongPositionReachTheSyncWindow) {
    openInput(0);
    ASSERT_EQ(m32AttachSync(handle, syncWindow.handle()), 1);
    feed(0, {0xF2, 16, 0});
    for (int i = 0; i < 25; ++i) {
        cvxClockAdvance(20);
        feed(0, {0xF8});
    }
    std::vector<Post> posts = syncWindow.posts();
    ASSERT_FALSE(posts.empty());
    EXPECT_EQ(posts.front().msg, WM_CVX_SONG_POSITION);
    EXPECT_EQ(posts.front().wParam, 480u);
    EXPECT_EQ(posts.back().msg, WM_CVX_TEMPO);
    EXPECT_EQ(posts.back().lParam, 12500);
}

} // namespace
} // namespace cvx::test
