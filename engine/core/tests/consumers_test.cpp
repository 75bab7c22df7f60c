#include "client_fixture.h"

namespace {

using cvx::test::ClientTest;
using cvx::test::RecordingWindow;

size_t wakeups(const std::vector<EVENT>& events) {
    size_t n = 0;
    for (const EVENT& e : events) {
        n += (e.message == CVX_WAKEUP_MESSAGE && e.timestamp == 0 && e.port == 0) ? 1 : 0;
    }
    return n;
}

TEST_F(ClientTest, RawMonitorAndLuaAttachOnceAndNeedAWindow) {
    RecordingWindow a;
    RecordingWindow b;
    EXPECT_EQ(m32AttachRawMonitor(handle, nullptr), 0);
    EXPECT_EQ(m32DetachRawMonitor(handle), 0) << "nothing attached";
    EXPECT_EQ(m32AttachRawMonitor(handle, a.handle()), 1);
    EXPECT_EQ(m32AttachRawMonitor(handle, b.handle()), 0);
    EXPECT_NE(client->consumers.raw, nullptr);
    EXPECT_EQ(m32DetachRawMonitor(handle), 1);
    EXPECT_EQ(client->consumers.raw, nullptr);

    EXPECT_EQ(m32AttachLua(handle, a.handle(), 0x10001), 1);
    EXPECT_EQ(client->flags.luaDivert.load(), 1) << "kept as a 16-bit value";
    EXPECT_EQ(m32AttachLua(handle, b.handle(), 0), 0);
    EXPECT_EQ(m32DetachLua(handle), 1);
    EXPECT_EQ(client->flags.luaDivert.load(), 0);
    client->flags.luaDivert.store(1);
    EXPECT_EQ(m32DetachLua(handle), 0);
    EXPECT_EQ(client->flags.luaDivert.load(), 0) << "detach always clears the divert";
}

TEST_F(ClientTest, ScriptAttachCountsAndKeepsTheDivertFlag) {
    RecordingWindow w;
    client->flags.scriptDivert.store(1);
    EXPECT_EQ(m32AttachCvxScript(handle, w.handle()), 1);
    EXPECT_EQ(m32IsCvxScriptDiverting(handle), 1);
    EXPECT_EQ(m32GetNumAttach(handle), 1);
    EXPECT_EQ(m32AttachCvxScript(handle, w.handle()), 0);
    EXPECT_EQ(m32DetachCvxScript(handle), 1);
    EXPECT_EQ(m32IsCvxScriptDiverting(handle), 0);
    EXPECT_EQ(m32GetNumAttach(handle), 0);
    EXPECT_EQ(m32DetachCvxScript(handle), 0);
    EXPECT_EQ(m32GetNumAttach(handle), 0) << "never below zero";
}

TEST_F(ClientTest, DivertingTheScriptWithFlushQueuesFourWakeups) {
    RecordingWindow w;
    ASSERT_EQ(m32AttachCvxScript(handle, w.handle()), 1);
    EXPECT_EQ(m32DivertCvxScript(handle, 1, 0), 0);
    EXPECT_EQ(m32DivertCvxScript(handle, 0, 1), 1) << "returns the previous flag";
    auto events = readAll(MON_SCRIPT);
    EXPECT_EQ(events.size(), 4u);
    EXPECT_EQ(wakeups(events), 4u);
    EXPECT_EQ(m32IsCvxScriptDiverting(handle), 0);
}

TEST_F(ClientTest, DockDetachNeedsItsIdentifierOrZero) {
    RecordingWindow w;
    EXPECT_EQ(m32AttachDock(handle, 0, w.handle()), 0) << "identifier 0";
    EXPECT_EQ(m32AttachDock(handle, 42, nullptr), 0);
    ASSERT_EQ(m32AttachDock(handle, 42, w.handle()), 1);
    EXPECT_EQ(m32AttachDock(handle, 43, w.handle()), 0) << "an identifier is set";
    EXPECT_EQ(m32GetNumAttach(handle), 1);
    EXPECT_EQ(m32DetachDock(handle, 7), 0);
    EXPECT_NE(client->windows.dock.load(), nullptr) << "still attached";
    EXPECT_EQ(m32DetachDock(handle, 0), 1);
    EXPECT_EQ(client->windows.dock.load(), nullptr);
    EXPECT_EQ(client->consumers.dock, nullptr);
    EXPECT_EQ(m32GetNumAttach(handle), 0);
    ASSERT_EQ(m32AttachDock(handle, 9, w.handle()), 1) << "attachable again";
    client->flags.dockDivert.store(1);
    EXPECT_EQ(m32DetachDock(handle, 9), 1);
    EXPECT_EQ(m32IsDockDiverting(handle), 0) << "detach switches the divert off";
}

TEST_F(ClientTest, DivertingTheDockWithFlushQueuesWakeupsAfterSettingTheFlag) {
    RecordingWindow w;
    EXPECT_EQ(m32DivertDock(handle, 1, 1), 0) << "no Dock: flag only";
    ASSERT_EQ(m32AttachDock(handle, 5, w.handle()), 1);
    EXPECT_EQ(m32DivertDock(handle, 0, 1), 1);
    EXPECT_EQ(m32IsDockDiverting(handle), 0);
    EXPECT_EQ(wakeups(readAll(MON_DOCK)), 4u);
}

uint32_t receivedTime(const cvx::core::CvxClient* client) {
    const auto& t = client->timeCode.received.time;
    return uint32_t{t.hours} << 24 | uint32_t{t.minutes} << 16 | uint32_t{t.seconds} << 8 |
           t.frames;
}

void setReceivedTime(cvx::core::CvxClient* client, uint8_t hours, uint8_t frames) {
    client->timeCode.received.time.hours = hours;
    client->timeCode.received.time.frames = frames;
}

TEST_F(ClientTest, MtcAndSyncWindowsAttachOnlyWhenFree) {
    RecordingWindow a;
    RecordingWindow b;
    setReceivedTime(client, 1, 4);
    EXPECT_EQ(m32AttachMTC(handle, a.handle()), 1);
    EXPECT_EQ(receivedTime(client), 0u);
    setReceivedTime(client, 0, 5);
    EXPECT_EQ(m32AttachMTC(handle, b.handle()), 1);
    EXPECT_EQ(client->windows.mtc.load(), a.handle()) << "the first window stays";
    EXPECT_EQ(receivedTime(client), 5u);
    EXPECT_EQ(m32DetachMTC(handle), 1);
    EXPECT_EQ(client->windows.mtc.load(), nullptr);
    EXPECT_EQ(receivedTime(client), 0u);

    EXPECT_EQ(m32AttachSync(handle, a.handle()), 1);
    EXPECT_EQ(m32AttachSync(handle, b.handle()), 1);
    EXPECT_EQ(client->windows.sync.load(), a.handle());
    EXPECT_EQ(m32DetachSync(handle), 1);
    EXPECT_EQ(client->windows.sync.load(), nullptr);
}

TEST_F(ClientTest, DestroyFreesEveryAttachedConsumer) {
    // Run under AddressSanitizer, a consumer left behind shows as a leak.
    RecordingWindow w;
    uint64_t other = m32CreateClient(mainWindow.handle(), nullptr, &filter);
    ASSERT_EQ(m32AttachRawMonitor(other, w.handle()), 1);
    ASSERT_EQ(m32AttachLua(other, w.handle(), 1), 1);
    ASSERT_EQ(m32AttachCvxScript(other, w.handle()), 1);
    ASSERT_EQ(m32AttachDock(other, 3, w.handle()), 1);
    m32DestroyClient(other);
}

} // namespace
