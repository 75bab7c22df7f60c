#include "datapath_fixture.h"

#include <vector>

namespace {

using cvx::test::Bytes;
using cvx::test::DataPathTest;
using cvx::test::routeFrom;
using cvx::test::sysex;

uint16_t sendSysEx(uint64_t client, Bytes block) {
    return m32SendSysEx(client, reinterpret_cast<char*>(block.data()),
                        static_cast<uint16_t>(block.size()));
}

TEST_F(DataPathTest, ABlockLeavesInBuffersSpacedBySendParms) {
    openOutput(2, routeFrom({cvx::core::kGeneratedPort}), 4, 256);
    m32SendParms(handle, 0, 50);
    m32StartTimeStamp(handle);
    ASSERT_EQ(sendSysEx(handle, sysex(1000)), MMSYSERR_NOERROR);
    std::vector<size_t> arrivals;
    for (int ms = 0; ms < 200; ++ms) {
        cvxClockAdvance(1);
        if (size_t n = take(2).size()) {
            arrivals.push_back(n);
            EXPECT_EQ((ms + 1 - 2) % 50, 0) << "a piece left at " << ms + 1 << " ms";
        }
    }
    EXPECT_EQ(arrivals, (std::vector<size_t>{256, 256, 256, 232}));
    auto sent = sentRecords();
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[3].message, (232u << 8) | 0xF0u | 0xFF000000u);
    EXPECT_EQ(sent[1].timestamp - sent[0].timestamp, 50u);
    EXPECT_EQ(sent[0].port, 1) << "the source is not input 0";
    EXPECT_EQ(sent[0].outPort, 3);
}

TEST_F(DataPathTest, SendSysExReportsNoOutputAndNoFreeBuffer) {
    EXPECT_EQ(sendSysEx(handle, sysex(10)), MMSYSERR_INVALHANDLE);
    openOutput(2, routeFrom({cvx::core::kGeneratedPort}), 2, 256);
    EXPECT_EQ(sendSysEx(handle, sysex(1000)), MMSYSERR_NOMEM);
    cvxClockAdvance(5);
    EXPECT_EQ(take(2).size(), 512u) << "what fitted still leaves";
    EXPECT_EQ(sendSysEx(handle, sysex(100)), MMSYSERR_NOERROR) << "the buffers are free again";
}

TEST_F(DataPathTest, OutputBufferRulesProtectTheirMemory) {
    HMIDIOUT out = openOutput(2, routeFrom({cvx::core::kGeneratedPort}));
    EXPECT_EQ(m32AllocSyxBufOut(nullptr, handle, 256), 0);
    EXPECT_EQ(m32AllocSyxBufOut(out, handle, 0), 0);
    EXPECT_EQ(m32AllocSyxBufOut(out, handle, 512), 1);
    EXPECT_EQ(m32AllocSyxBufOut(out, handle, 16), 1); // the client's buffer size is now 16
    // A piece never exceeds the buffer it goes into, whatever the client-wide size says.
    client->sysexOut.bufferSize.store(512);
    ASSERT_EQ(sendSysEx(handle, sysex(100)), MMSYSERR_NOERROR);
    cvxClockAdvance(5);
    EXPECT_EQ(take(2).size(), 100u);
    auto sent = sentRecords();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].message >> 8 & 0xFFFF, 16u);
    EXPECT_EQ(sent[1].message >> 8 & 0xFFFF, 84u);
}

TEST_F(DataPathTest, FreeingOutputBuffersDropsTheirQueuedPieces) {
    // Under AddressSanitizer the pump would read freed memory if a piece stayed queued.
    HMIDIOUT out = openOutput(2, routeFrom({cvx::core::kGeneratedPort}), 4, 64);
    m32SendParms(handle, 0, 10);
    ASSERT_EQ(sendSysEx(handle, sysex(200)), MMSYSERR_NOERROR);
    cvxClockAdvance(2);
    EXPECT_EQ(take(2).size(), 64u);
    m32FreeSyxBufOut(out, handle);
    cvxClockAdvance(100);
    EXPECT_TRUE(take(2).empty());
    EXPECT_EQ(client->outputBuffers->size(), 0u);
}

TEST_F(DataPathTest, SysExEndsTheOutputsRunningStatus) {
    openInput(0);
    openOutput(2, routeFrom({0, cvx::core::kGeneratedPort}), 2, 64);
    m32SendRunStatus(handle, 1);
    feed(0, {0x90, 60, 100});
    ASSERT_EQ(sendSysEx(handle, sysex(8)), MMSYSERR_NOERROR);
    cvxClockAdvance(3);
    feed(0, {0x90, 61, 100});
    Bytes expected{0x90, 60, 100};
    Bytes block = sysex(8);
    expected.insert(expected.end(), block.begin(), block.end());
    expected.insert(expected.end(), {0x90, 61, 100});
    EXPECT_EQ(take(2), expected);
}

TEST_F(DataPathTest, ASentFullFrameTimeCodeSetsTheReceivedTime) {
    openOutput(2, routeFrom({cvx::core::kGeneratedPort}), 2, 64);
    cvx::test::RecordingWindow mtc;
    ASSERT_EQ(m32AttachMTC(handle, mtc.handle()), 1);
    Bytes locate{0xF0, 0x7F, 0x7F, 0x01, 0x01, 0x61, 0x02, 0x03, 0x04, 0xF7};
    ASSERT_EQ(sendSysEx(handle, locate), MMSYSERR_NOERROR);
    ASSERT_EQ(mtc.count(WM_CVX_MTC_TIME), 1u);
    EXPECT_EQ(mtc.posts()[0].wParam, (3u << 29) | (1u << 24) | (2u << 16) | (3u << 8) | 4u);
}

} // namespace
