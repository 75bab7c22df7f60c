#include "datapath_fixture.h"

#include <numeric>

namespace {

using cvx::test::Bytes;
using cvx::test::DataPathTest;
using cvx::test::RecordingWindow;
using cvx::test::routeFrom;
using cvx::test::sysex;

std::vector<cvx::test::Post> postsOf(const RecordingWindow& w, uint32_t msg) {
    std::vector<cvx::test::Post> found;
    for (const auto& p : w.posts()) {
        if (p.msg == msg) {
            found.push_back(p);
        }
    }
    return found;
}

TEST_F(DataPathTest, SysExThruFillsTheFreeOutputBuffersAndDropsTheRest) {
    HMIDIIN in = openInput(0, 1, 1024);
    openOutput(2, routeFrom({0}), 2, 256);
    Bytes block = sysex(600);
    feed(0, block);
    cvxClockAdvance(2);
    Bytes out = take(2);
    EXPECT_EQ(out, Bytes(block.begin(), block.begin() + 512));
    auto sent = sentRecords();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].message, (256u << 8) | 0xF0);
    EXPECT_EQ(sent[1].message, (256u << 8) | 0xF5) << "a middle piece";
    auto lent = postsOf(mainWindow, WM_CVX_SYSEXDATA);
    ASSERT_EQ(lent.size(), 1u);
    EXPECT_EQ(lent[0].wParam, reinterpret_cast<uintptr_t>(in));
    auto* header = reinterpret_cast<MIDIHDR*>(lent[0].lParam);
    EXPECT_EQ(header->dwBytesRecorded, 600u);
    EXPECT_EQ(m32RetBuf(in, reinterpret_cast<uint64_t>(header)), MMSYSERR_NOERROR);
    EXPECT_EQ(m32RetBuf(nullptr, reinterpret_cast<uint64_t>(header)), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(m32RetBuf(in, 0), MMSYSERR_INVALHANDLE);
    MIDIHDR stranger{};
    EXPECT_EQ(m32RetBuf(in, reinterpret_cast<uint64_t>(&stranger)), MMSYSERR_INVALPARAM)
        << "a header that is not this input's buffer is refused";
}

TEST_F(DataPathTest, BlocksAreMarkedByWhereTheyStandInTheMessage) {
    openInput(0, 3, 16);
    Bytes block = sysex(40); // arrives as 16 + 16 + 8
    feed(0, block);
    std::vector<uint32_t> markers;
    for (const EVENT& e : readAll(MON_MAIN)) {
        if ((e.message >> 24) != CVX_ORIGIN_CHUNK) {
            markers.push_back(e.message & 0xFF);
        }
    }
    EXPECT_EQ(markers, (std::vector<uint32_t>{0xF0, 0xF5, 0xF7}));
}

TEST_F(DataPathTest, ReceivedSysExIsQueuedWithItsDisplayChunks) {
    openInput(0, 2, 256); // the first buffer stays lent to the application
    Bytes block = sysex(20);
    feed(0, block);
    auto events = readAll(MON_MAIN);
    ASSERT_EQ(events.size(), 3u); // the block and two 18-byte pieces
    EXPECT_EQ(events[0].message, (20u << 8) | 0xF0);
    uint8_t piece[18];
    ASSERT_EQ(m32GetSysExString(handle, static_cast<uint16_t>(events[2].timestamp), piece, 18),
              block[18]);
    EXPECT_EQ(piece[1], 0xF7);
    CFilter f{};
    f.filterFlags = CVX_FILTER_NO_SYSEX_CHUNKS;
    m32SendFilter(handle, &f);
    feed(0, block);
    EXPECT_EQ(readAll(MON_MAIN).size(), 1u);
}

TEST_F(DataPathTest, CapturedSysExIsReadInPiecesAndTheBufferReturnsWhenRead) {
    openInput(0, 1, 256);
    openOutput(2, routeFrom({0}), 2, 256);
    RecordingWindow capture;
    RecordingWindow script;
    ASSERT_EQ(m32AttachCvxScript(handle, script.handle()), 1);
    ASSERT_EQ(m32DivertSysExStart(handle, capture.handle()), 1);
    Bytes block = sysex(100);
    feed(0, block);
    cvxClockAdvance(2);
    EXPECT_TRUE(take(2).empty()) << "no thru during a capture";
    EXPECT_TRUE(readAll(MON_SCRIPT).empty());
    auto captured = postsOf(capture, WM_CVX_SYSEX_CAPTURED);
    ASSERT_EQ(captured.size(), 1u);
    EXPECT_EQ(captured[0].lParam, 100);
    EXPECT_EQ(readAll(MON_MAIN).size(), 7u) << "the block and its chunks, no raw monitor";

    uint8_t out[256] = {};
    EXPECT_EQ(m32GetSysExData(handle, out, 60), 60u);
    EXPECT_EQ(out[59], block[59]);
    feed(0, block); // the only buffer is still being read: nothing arrives
    EXPECT_EQ(postsOf(capture, WM_CVX_SYSEX_CAPTURED).size(), 1u);
    EXPECT_EQ(m32GetSysExData(handle, out, 256), 40u);
    EXPECT_EQ(out[39], 0xF7);
    EXPECT_EQ(m32GetSysExData(handle, out, 256), 0u);
    feed(0, block);
    EXPECT_EQ(postsOf(capture, WM_CVX_SYSEX_CAPTURED).size(), 2u) << "the buffer came back";
    m32DivertSysExStop(handle);
}

TEST_F(DataPathTest, ClosingAnInputKeepsTheBuffersTheApplicationHolds) {
    // Run under AddressSanitizer: a freed buffer read here, or one never freed, fails.
    HMIDIIN in = openInput(0, 1, 64);
    feed(0, sysex(30));
    auto lent = postsOf(mainWindow, WM_CVX_SYSEXDATA);
    ASSERT_EQ(lent.size(), 1u);
    auto* header = reinterpret_cast<MIDIHDR*>(lent[0].lParam);
    ASSERT_EQ(m32CloseMidiIn(in, handle), 1);
    forgetInput(in);
    EXPECT_EQ(header->dwBytesRecorded, 30u) << "still readable";
    EXPECT_EQ(header->lpData[0], static_cast<char>(0xF0));
    EXPECT_EQ(m32RetBuf(in, reinterpret_cast<uint64_t>(header)), MMSYSERR_INVALHANDLE);
}

TEST_F(DataPathTest, DestroyingTheClientFreesBuffersTheApplicationNeverGaveBack) {
    // Under LeakSanitizer an orphaned buffer left behind is a leak.
    uint64_t other = m32CreateClient(mainWindow.handle(), nullptr, &filter);
    HMIDIIN in = nullptr;
    ASSERT_EQ(vx16OpenMidiIn(&in, 1, other), MMSYSERR_NOERROR);
    ASSERT_EQ(m32AllocSyxBufIn(in, other, 64), 1);
    m32StartMidiIn(in);
    feed(1, sysex(30));
    auto lent = postsOf(mainWindow, WM_CVX_SYSEXDATA);
    ASSERT_EQ(lent.size(), 1u);
    ASSERT_EQ(m32CloseMidiIn(in, other), 1);
    m32DestroyClient(other);
    EXPECT_EQ(m32RetBuf(in, static_cast<uint64_t>(lent[0].lParam)), MMSYSERR_INVALHANDLE)
        << "a late return of a freed buffer is refused without touching it";
}

TEST_F(DataPathTest, ScriptAndDockSeeReceivedSysExAsChunksAndTheirDivertStopsIt) {
    openInput(0, 2, 1024);
    openOutput(2, routeFrom({0}), 4, 256);
    RecordingWindow dock;
    ASSERT_EQ(m32AttachDock(handle, 7, dock.handle()), 1);
    Bytes block = sysex(300);
    feed(0, block);
    cvxClockAdvance(2);
    EXPECT_EQ(take(2).size(), 300u);
    auto chunks = readAll(MON_DOCK);
    ASSERT_EQ(chunks.size(), 2u);
    EXPECT_EQ(chunks[1].message, (44u << 8) | 0xFB000000u);
    uint8_t piece[256];
    ASSERT_EQ(
        m32GetRawSxBuf(handle, MON_DOCK, static_cast<uint16_t>(chunks[1].timestamp), piece, 256),
        1);
    EXPECT_EQ(piece[43], 0xF7);
    m32DivertDock(handle, 1, 0);
    feed(0, block);
    cvxClockAdvance(2);
    EXPECT_TRUE(take(2).empty());
    EXPECT_EQ(dock.count(WM_CVX_DOCK_DATA), 2u);
    m32DetachDock(handle, 7);
}

} // namespace
