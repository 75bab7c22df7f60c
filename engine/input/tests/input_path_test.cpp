#include "datapath_fixture.h"

namespace {

using cvx::test::Bytes;
using cvx::test::DataPathTest;
using cvx::test::RecordingWindow;
using cvx::test::routeFrom;

class InputPathTest : public DataPathTest {
protected:
    void SetUp() override {
        DataPathTest::SetUp();
        openInput(0, 2, 256);
        openOutput(2, routeFrom({0}), 2, 256);
    }
};

TEST_F(InputPathTest, ABlockedInputProcessesNothing) {
    RecordingWindow raw;
    ASSERT_EQ(m32AttachRawMonitor(handle, raw.handle()), 1);
    m32InputBlocker(handle, 1);
    feed(0, {0x90, 60, 100, 0xF0, 0x01, 0xF7});
    EXPECT_TRUE(take(2).empty());
    EXPECT_TRUE(readAll(MON_RAW_INPUT).empty());
    EXPECT_TRUE(readAll(MON_MAIN).empty());
    EXPECT_EQ(mainWindow.count(WM_CVX_SYSEXDATA), 0u);
    m32InputBlocker(handle, 0);
    feed(0, {0xF0, 0x02, 0xF7});
    EXPECT_EQ(mainWindow.count(WM_CVX_SYSEXDATA), 1u) << "the buffer stayed in circulation";
}

TEST_F(InputPathTest, RoutedInputIsSentMonitoredAndTimeStamped) {
    cvxClockAdvance(40);
    feed(0, {0x90, 60, 100, 0x80, 60, 0});
    EXPECT_EQ(take(2), (Bytes{0x90, 60, 100, 0x80, 60, 0}));
    auto sent = sentRecords();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].message, 0x00643C90u);
    EXPECT_EQ(sent[0].port, 0);
    EXPECT_EQ(sent[0].outPort, 3);
    EXPECT_EQ(sent[0].timestamp, 40u) << "ms since the input started";
    EXPECT_GE(mainWindow.count(WM_CVX_EVENTS), 1u);
    EXPECT_EQ(client->inputs.ports[0].statusClass.load(), 1u) << "channel 1";
}

TEST_F(InputPathTest, WithoutOutputsInputGoesToTheMainQueueUnlessRawMonitored) {
    uint64_t other = m32CreateClient(nullptr, nullptr, &filter);
    HMIDIIN in = nullptr;
    ASSERT_EQ(vx16OpenMidiIn(&in, 1, other), MMSYSERR_NOERROR);
    m32StartMidiIn(in);
    feed(1, {0xB0, 7, 99});
    EVENT e{};
    ASSERT_EQ(m32GetEvent(other, &e, MON_MAIN), 1);
    EXPECT_EQ(e.message, 0x006307B0u);
    EXPECT_EQ(e.outPort, 0);
    RecordingWindow raw;
    ASSERT_EQ(m32AttachRawMonitor(other, raw.handle()), 1);
    feed(1, {0xB0, 7, 98});
    EXPECT_EQ(m32GetEvent(other, &e, MON_MAIN), 0);
    EXPECT_EQ(m32GetEvent(other, &e, MON_RAW_INPUT), 1);
    m32CloseMidiIn(in, other);
    m32DestroyClient(other);
}

TEST_F(InputPathTest, PatchMappedProgramChangeWithoutPassOnGoesOnlyToTheRawMonitor) {
    RecordingWindow raw;
    ASSERT_EQ(m32AttachRawMonitor(handle, raw.handle()), 1);
    PatchMapInfo info{};
    info.flags = CVX_PATCHMAP_ON;
    info.channelMask = 0x0001;
    info.entries[5] = 1;
    m32SendPMInfo(handle, &info);
    feed(0, {0xC0, 5});
    cvxClockAdvance(20);
    EXPECT_TRUE(take(2).empty());
    EXPECT_TRUE(sentRecords().empty());
    EXPECT_EQ(readAll(MON_RAW_INPUT).size(), 1u);
    auto posts = mainWindow.posts();
    ASSERT_FALSE(posts.empty());
    EXPECT_EQ(posts[0].msg, WM_CVX_PATCH_CHANGE);
    EXPECT_EQ(posts[0].wParam, 0u);
    EXPECT_EQ(posts[0].lParam, 0x05C0);

    feed(0, {0xC1, 5}); // channel 2 is not patch-mapped
    EXPECT_EQ(take(2), (Bytes{0xC1, 5}));
    feed(0, {0xC0, 6}); // program 6 has no entry
    EXPECT_EQ(take(2), (Bytes{0xC0, 6}));
}

TEST_F(InputPathTest, PatchMappedProgramChangeWithPassOnIsProcessedFourMillisecondsLater) {
    PatchMapInfo info{};
    info.flags = CVX_PATCHMAP_ON | CVX_PATCHMAP_PASS_ON;
    info.channelMask = 0xFFFF;
    info.entries[5] = 3;
    m32SendPMInfo(handle, &info);
    m32StartTimeStamp(handle);
    feed(0, {0xC0, 5});
    cvxClockAdvance(3);
    EXPECT_TRUE(take(2).empty());
    cvxClockAdvance(2); // the 5 ms pump tick after the 4 ms delay
    EXPECT_EQ(take(2), (Bytes{0xC0, 5}));
    auto sent = sentRecords();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].timestamp, 4u) << "stamped with its due time";
}

TEST_F(InputPathTest, TheLuaDivertTakesNotesButLetsTheClockThrough) {
    RecordingWindow lua;
    ASSERT_EQ(m32AttachLua(handle, lua.handle(), 1), 1);
    feed(0, {0x90, 64, 90, 0xF8});
    EXPECT_EQ(take(2), (Bytes{0xF8}));
    auto diverted = readAll(MON_LUA);
    ASSERT_EQ(diverted.size(), 1u);
    EXPECT_EQ(diverted[0].message, 0x005A4090u);
    EXPECT_EQ(lua.count(WM_CVX_SCRIPTINPUT), 1u);
}

TEST_F(InputPathTest, FilteredMessagesAreHiddenButStillRoutedUnlessDataIsFiltered) {
    CFilter f{};
    f.filterFlags = CVX_FILTER_NOTE_ON;
    m32SendFilter(handle, &f);
    feed(0, {0x90, 60, 100});
    EXPECT_EQ(take(2), (Bytes{0x90, 60, 100}));
    EXPECT_TRUE(sentRecords().empty()) << "filtered mode writes no monitor records";
    f.filterFlags |= CVX_FILTER_DATA;
    m32SendFilter(handle, &f);
    feed(0, {0x90, 61, 100});
    EXPECT_TRUE(take(2).empty());
}

TEST_F(InputPathTest, TheScriptHostSeesProcessedInputAndItsDivertStopsIt) {
    RecordingWindow script;
    ASSERT_EQ(m32AttachCvxScript(handle, script.handle()), 1);
    feed(0, {0x90, 60, 1});
    EXPECT_EQ(take(2), (Bytes{0x90, 60, 1}));
    EXPECT_EQ(readAll(MON_SCRIPT).size(), 1u);
    EXPECT_EQ(script.count(WM_CVX_AUTOMATION_DATA), 1u);
    m32DivertCvxScript(handle, 1, 0);
    feed(0, {0x90, 60, 2});
    EXPECT_TRUE(take(2).empty());
    EXPECT_EQ(readAll(MON_SCRIPT).size(), 1u);
}

} // namespace
