#include "client_fixture.h"
#include "core/engine_lock.h"

#include <cstring>

namespace {

using cvx::test::ClientTest;

EVENT noteOn(uint8_t key) {
    EVENT e{};
    e.message = 0x90u | uint32_t{key} << 8 | 100u << 16;
    return e;
}

void enqueue(cvx::core::EventQueue* queue, const EVENT& e) {
    cvx::core::EngineGuard guard(cvx::core::engineLock());
    queue->enqueue(e);
}

TEST_F(ClientTest, CreateCopiesTheFilterAndSetsDefaults) {
    CFilter f{};
    f.filterFlags = 0x12345678;
    f.controllerFilter[15] = 0x80;
    uint64_t other = m32CreateClient(nullptr, nullptr, &f);
    ASSERT_NE(other, 0u);
    auto* c = cvx::core::clientFromHandle(other);
    CFilter copy = c->filter.load();
    EXPECT_EQ(std::memcmp(&copy, &f, sizeof f), 0);
    EXPECT_EQ(c->flags.captureValues[0], 64);
    EXPECT_EQ(c->flags.captureValues[1], 512);
    EXPECT_EQ(c->outputs->highestOpen, -1);
    EXPECT_EQ(m32GetNumAttach(other), 0);
    m32DestroyClient(other);
    m32DestroyClient(0); // ignored
    uint64_t unfiltered = m32CreateClient(nullptr, nullptr, nullptr);
    EXPECT_NE(unfiltered, 0u) << "a null filter is no filter";
    m32DestroyClient(unfiltered);
}

TEST_F(ClientTest, GetEventOnAnEmptyQueueZeroesTimestampAndMessage) {
    EVENT e;
    std::memset(&e, 0xAA, sizeof e);
    EXPECT_EQ(m32GetEvent(handle, &e, MON_MAIN), 0);
    EXPECT_EQ(e.timestamp, 0u);
    EXPECT_EQ(e.message, 0u);
    EXPECT_EQ(m32GetEvent(handle, nullptr, MON_MAIN), 0);
}

TEST_F(ClientTest, QueueOverflowLosesOnlyTheNewestEvents) {
    for (uint32_t i = 0; i < 2401; ++i) {
        EVENT e = noteOn(static_cast<uint8_t>(i & 0x7F));
        e.timestamp = i;
        enqueue(client->mainQueue, e);
    }
    auto events = readAll(MON_MAIN);
    ASSERT_EQ(events.size(), 2400u);
    for (uint32_t i = 0; i < 2400; ++i) {
        ASSERT_EQ(events[i].timestamp, i);
    }
}

TEST_F(ClientTest, NothingIsReadFromADetachedOrUnknownQueue) {
    EVENT e{};
    EXPECT_EQ(m32GetEvent(handle, &e, MON_RAW_INPUT), 0);
    EXPECT_EQ(m32GetEvent(handle, &e, 0), 0);
    EXPECT_EQ(m32GetEvent(handle, &e, 6), 0);
    EXPECT_EQ(m32GetEvent(handle, &e, -1), 0);
}

TEST_F(ClientTest, EventsAlreadyCachedOutliveTheirConsumer) {
    cvx::test::RecordingWindow raw;
    ASSERT_EQ(m32AttachRawMonitor(handle, raw.handle()), 1);
    for (uint8_t k = 0; k < 3; ++k) {
        enqueue(client->consumers.raw, noteOn(k));
    }
    EVENT e{};
    ASSERT_EQ(m32GetEvent(handle, &e, MON_RAW_INPUT), 1); // the refill moved all three
    ASSERT_EQ(m32DetachRawMonitor(handle), 1);
    EXPECT_EQ(m32GetEvent(handle, &e, MON_RAW_INPUT), 1);
    EXPECT_EQ(e.message >> 8 & 0x7F, 1u);
    EXPECT_EQ(m32GetEvent(handle, &e, MON_RAW_INPUT), 1);
    EXPECT_EQ(m32GetEvent(handle, &e, MON_RAW_INPUT), 0);
}

TEST_F(ClientTest, ReadsMoreThanOneCacheFillInOrder) {
    for (uint32_t i = 0; i < 300; ++i) {
        EVENT e{};
        e.timestamp = i;
        enqueue(client->mainQueue, e);
    }
    auto events = readAll(MON_MAIN);
    ASSERT_EQ(events.size(), 300u);
    EXPECT_EQ(events[127].timestamp, 127u);
    EXPECT_EQ(events[128].timestamp, 128u);
    EXPECT_EQ(events[299].timestamp, 299u);
}

TEST_F(ClientTest, SysExPiecesAreReadBySlot) {
    uint8_t piece[18] = {0xF0, 0x43, 0x10};
    {
        cvx::core::EngineGuard guard(cvx::core::engineLock());
        client->displayRing->fill(7, piece, 3);
    }
    uint8_t out[32] = {};
    EXPECT_EQ(m32GetSysExString(handle, 7, out, 17), 0) << "buffer too small";
    EXPECT_EQ(m32GetSysExString(handle, 7, out, 18), 0xF0);
    EXPECT_EQ(out[1], 0x43);
    EXPECT_EQ(m32GetSysExString(handle, 3000, out, 18), 0) << "slot outside the ring";
    uint8_t big[256] = {};
    EXPECT_EQ(m32GetRawSxBuf(handle, MON_SCRIPT, 0, big, 256), 0) << "no script ring yet";
    cvx::test::RecordingWindow script;
    ASSERT_EQ(m32AttachCvxScript(handle, script.handle()), 1);
    EXPECT_EQ(m32GetRawSxBuf(handle, MON_SCRIPT, 0, big, 255), 0);
    EXPECT_EQ(m32GetRawSxBuf(handle, MON_SCRIPT, 15, big, 256), 1);
    EXPECT_EQ(m32GetRawSxBuf(handle, MON_SCRIPT, 16, big, 256), 0);
    EXPECT_EQ(m32GetRawSxBuf(handle, MON_MAIN, 0, big, 256), 0);
}

TEST_F(ClientTest, SwitchesAndTimeBase) {
    EXPECT_EQ(m32InputBlocker(handle, 1), 1);
    EXPECT_EQ(client->flags.inputBlocker.load(), 1);
    EXPECT_EQ(m32InputBlocker(handle, 0x18000), -32768) << "sign-extended from 16 bits";
    EXPECT_EQ(m32InputBlocker(handle, 0), 0);

    cvxClockAdvance(1000);
    m32StartTimeStamp(handle);
    cvxClockAdvance(250);
    EXPECT_EQ(m32GetTimeStamp(handle), 250u);

    cvx::test::RecordingWindow capture;
    EXPECT_EQ(m32DivertSysExSet(handle, 1, 2), 1);
    EXPECT_EQ(m32DivertSysExStart(handle, capture.handle()), 1);
    EXPECT_EQ(client->flags.sysexCapture.load(), 3);
    EXPECT_EQ(m32DivertSysExSet(handle, 5, 6), 0) << "refused during a capture";
    EXPECT_EQ(client->flags.captureValues[0], 1);
    m32DivertSysExStop(handle);
    EXPECT_EQ(client->windows.capture.load(), nullptr);
    EXPECT_EQ(m32DivertSysExSet(handle, 5, 6), 1);
}

// A destroyed client's handle, a handle reused after its slot was taken again and a made-up
// value are no client: each is refused like handle 0, without touching freed memory.
TEST(ClientStaleHandle, IsRefusedLikeTheNullHandle) {
    const uint64_t destroyed = m32CreateClient(nullptr, nullptr, nullptr);
    ASSERT_NE(destroyed, 0u);
    m32DestroyClient(destroyed);
    const uint64_t successor = m32CreateClient(nullptr, nullptr, nullptr);
    ASSERT_NE(successor, 0u);
    EXPECT_NE(successor, destroyed) << "a new client never gets a destroyed client's handle";
    for (uint64_t handle : {destroyed, uint64_t{successor ^ (uint64_t{1} << 32)},
                            uint64_t{0xDEADBEEF12345678}, uint64_t{cvx::core::kMaxClients + 1}}) {
        EXPECT_EQ(cvx::core::clientFromHandle(handle), nullptr);
        EXPECT_EQ(m32GetNumAttach(handle), 0);
        EXPECT_EQ(m32InDevOpenCount(handle), 0);
        m32corvexEvent(handle, 0x90, 0, 60, 100, 0);
        m32DestroyClient(handle);
    }
    EXPECT_NE(cvx::core::clientFromHandle(successor), nullptr) << "still live";
    m32DestroyClient(successor);
}

TEST(ClientNullHandle, EveryOperationRefusesIt) {
    EVENT e{};
    uint8_t buf[256];
    cvx::test::RecordingWindow w;
    EXPECT_EQ(m32AttachRawMonitor(0, w.handle()), 0);
    EXPECT_EQ(m32DetachRawMonitor(0), 0);
    EXPECT_EQ(m32AttachLua(0, w.handle(), 1), 0);
    EXPECT_EQ(m32DetachLua(0), 0);
    EXPECT_EQ(m32AttachCvxScript(0, w.handle()), 0);
    EXPECT_EQ(m32DetachCvxScript(0), 0);
    EXPECT_EQ(m32AttachDock(0, 1, w.handle()), 0);
    EXPECT_EQ(m32DetachDock(0, 0), 0);
    EXPECT_EQ(m32AttachMTC(0, w.handle()), 0);
    EXPECT_EQ(m32AttachSync(0, w.handle()), 0);
    EXPECT_EQ(m32DivertSysExStart(0, w.handle()), 0);
    EXPECT_EQ(m32GetSysExString(0, 0, buf, 18), 0);
    EXPECT_EQ(m32GetRawSxBuf(0, MON_DOCK, 0, buf, 256), 0);
    EXPECT_EQ(m32GetNumAttach(0), 0);
    EXPECT_EQ(m32GetTimeStamp(0), 0u);
    m32DivertSysExStop(0);
    m32StartTimeStamp(0);
    (void)e;
}

} // namespace
