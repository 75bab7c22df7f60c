#include "client_fixture.h"
#include "timecode/time_code_feed.h"
#include "vmidi.h"

#include <gtest/gtest.h>

#include <vector>

namespace cvx::test {
namespace {

constexpr uint32_t packed(uint32_t h, uint32_t m, uint32_t s, uint32_t f) {
    return h << 24 | m << 16 | s << 8 | f;
}

EVENT shortEvent(uint8_t status, uint8_t data1, uint8_t data2, uint32_t time) {
    EVENT event{};
    event.timestamp = time;
    event.message = uint32_t{status} | uint32_t{data1} << 8 | uint32_t{data2} << 16;
    return event;
}

std::vector<uintptr_t> wParams(const RecordingWindow& window, uint32_t msg) {
    std::vector<uintptr_t> values;
    for (const Post& p : window.posts()) {
        if (p.msg == msg) {
            values.push_back(p.wParam);
        }
    }
    return values;
}

class TimeCodeFeedTest : public ClientTest {
protected:
    void TearDown() override {
        m32GenMTCStop(handle, 0);
        m32StopClock(handle);
        m32DetachMTC(handle);
        m32DetachSync(handle);
        ClientTest::TearDown();
    }

    void feed(uint8_t status, uint8_t data1 = 0, uint8_t data2 = 0, uint32_t time = 0) {
        cvx::timecode::trackShortMessage(*client, shortEvent(status, data1, data2, time));
    }

    RecordingWindow mtcWindow;
    RecordingWindow syncWindow;
};

TEST_F(TimeCodeFeedTest, GeneratedQuarterFramesReportTheTimeAfterEachPieceSeven) {
    ASSERT_EQ(m32AttachMTC(handle, mtcWindow.handle()), 1);
    m32ConfigMTC(handle, 2, 5, packed(0, 0, 59, 26));
    m32GenMTCStart(handle);
    cvxClockAdvance(250); // 29 quarter frames
    std::vector<uintptr_t> expected = {2u << 29 | packed(0, 0, 59, 26),
                                       2u << 29 | packed(0, 0, 59, 28),
                                       2u << 29 | packed(0, 1, 0, 2)};
    EXPECT_EQ(wParams(mtcWindow, WM_CVX_MTC_TIME), expected);
    for (const Post& p : mtcWindow.posts()) {
        EXPECT_EQ(p.lParam, 0);
    }
}

TEST_F(TimeCodeFeedTest, QuarterFramesAreTrackedButNotPostedWithoutAnMtcWindow) {
    for (uint8_t data : {0x01, 0x10, 0x22, 0x30, 0x44, 0x50, 0x63, 0x70}) {
        feed(0xF1, data);
    }
    EXPECT_EQ(client->timeCode.received.time.minutes, 4);
    ASSERT_EQ(m32AttachMTC(handle, mtcWindow.handle()), 1);
    EXPECT_EQ(client->timeCode.received.time.minutes, 0); // attaching resets the time
    for (uint8_t data : {0x01, 0x10, 0x22, 0x30, 0x44, 0x50, 0x63, 0x70}) {
        feed(0xF1, data);
    }
    EXPECT_EQ(wParams(mtcWindow, WM_CVX_MTC_TIME), (std::vector<uintptr_t>{packed(3, 4, 2, 1)}));
}

TEST_F(TimeCodeFeedTest, FullFrameIsPostedAndDetachResetsTheTime) {
    m32AttachMTC(handle, mtcWindow.handle());
    const uint8_t message[] = {0xF0, 0x7F, 0x7F, 0x01, 0x01, 0x60 | 5, 6, 7, 8, 0xF7};
    cvx::timecode::trackFullFrame(*client, message, sizeof message);
    cvx::timecode::trackFullFrame(*client, message, 9);
    EXPECT_EQ(wParams(mtcWindow, WM_CVX_MTC_TIME),
              (std::vector<uintptr_t>{3u << 29 | packed(5, 6, 7, 8)}));
    m32DetachMTC(handle);
    EXPECT_EQ(client->timeCode.received.time.hours, 0);
}

TEST_F(TimeCodeFeedTest, ClockStreamReportsTempoToTheSyncWindow) {
    m32AttachSync(handle, syncWindow.handle());
    for (uint32_t i = 0; i < 25; ++i) {
        feed(0xF8, 0, 0, 5000 + i * 20);
    }
    std::vector<Post> posts = syncWindow.posts();
    ASSERT_EQ(posts.size(), 24u);
    EXPECT_EQ(posts.back().msg, WM_CVX_TEMPO);
    EXPECT_EQ(posts.back().wParam, 0u);
    EXPECT_EQ(posts.back().lParam, 12500);
    EXPECT_EQ(posts.front().lParam, 300000);
}

TEST_F(TimeCodeFeedTest, SongPositionIsPostedInTimebaseTicks) {
    m32AttachSync(handle, syncWindow.handle());
    feed(0xF2, 16, 0);
    m32ConfigSync(handle, 0, 12000, 960);
    feed(0xF2, 0x7F, 0x7F);
    std::vector<Post> posts = syncWindow.posts();
    ASSERT_EQ(posts.size(), 2u);
    EXPECT_EQ(posts[0].msg, WM_CVX_SONG_POSITION);
    EXPECT_EQ(posts[0].wParam, 480u);
    EXPECT_EQ(posts[0].lParam, 0);
    const uint32_t ticks = 16383u * 6 * 40;
    EXPECT_EQ(posts[1].wParam, ticks & 0xFFFF);
    EXPECT_EQ(posts[1].lParam, static_cast<intptr_t>(ticks >> 16));
}

TEST_F(TimeCodeFeedTest, SyncCommandsAndGeneratedClocksReachTheTrackers) {
    m32AttachSync(handle, syncWindow.handle());
    m32ConfigSync(handle, 5, 12000, 96);
    m32SyncCmd(handle, 4, 16);
    m32SyncCmd(handle, 2, 0);
    m32StartClock(handle);
    cvxClockAdvance(1000);
    std::vector<uintptr_t> positions = wParams(syncWindow, WM_CVX_SONG_POSITION);
    ASSERT_EQ(positions.size(), 49u);
    EXPECT_EQ(positions.front(), 16u * 6 * 4);
    EXPECT_EQ(positions.back(), (16u * 6 + 48) * 4);
}

TEST_F(TimeCodeFeedTest, NothingIsPostedWithoutASyncWindowOrForOtherMessages) {
    feed(0xF2, 16, 0);
    m32AttachSync(handle, syncWindow.handle());
    feed(0x90, 60, 100);
    feed(0xFE);
    feed(0xF1, 0x70);
    EXPECT_TRUE(syncWindow.posts().empty());
}

} // namespace
} // namespace cvx::test
