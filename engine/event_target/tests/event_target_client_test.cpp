// A client of the engine that waits on an event target as a program without a window
// system does: input on a loopback cable wakes the poller, the events are read with
// GetEvent, and lent SysEx buffers arrive with their headers and go back with RetBuf.
#include "cvx_platform.h"
#include "cvxlib.h"
#include "vmidi.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <cstdlib>
#include <vector>

namespace {

constexpr int kWaitMs = 20000; // generous: the machine may be loaded

class EventTargetClient : public ::testing::Test {
protected:
    static void SetUpTestSuite() { setenv("CORVEX_MIDI", "virtual", 1); }

    void SetUp() override {
        ASSERT_NE(target, nullptr);
        InitCallBack();
        client = CreateClient(cvxEventTargetWindow(target), nullptr, &filter);
        ASSERT_NE(client, 0u);
        ASSERT_EQ(OpenMidiIn(&input, 0, client), MMSYSERR_NOERROR);
        ASSERT_EQ(AllocSyxBufIn(input, client, 256), 1);
        StartTimeStamp(client);
        ASSERT_EQ(StartMidiIn(input), MMSYSERR_NOERROR);
    }

    void TearDown() override {
        CloseMidiIn(input, client);
        DestroyClient(client);
        FreeCallBack();
        cvxEventTargetDestroy(target);
    }

    // Waits for the next message, as a program's main loop does.
    bool waitFor(uint32_t msg, CvxMessage& out) {
        pollfd p{cvxEventTargetFd(target), POLLIN, 0};
        while (poll(&p, 1, kWaitMs) == 1) {
            while (cvxEventTargetNext(target, &out)) {
                if (out.msg == msg) {
                    return true;
                }
            }
        }
        return false;
    }

    std::vector<EVENT> mainEvents() {
        std::vector<EVENT> events;
        EVENT e{};
        while (GetEvent(client, &e, MON_MAIN)) {
            events.push_back(e);
        }
        return events;
    }

    CvxEventTarget* target = cvxEventTargetCreate(0);
    CFilter filter{};
    uint64_t client = 0;
    HMIDIIN input = nullptr;
};

TEST_F(EventTargetClient, InputOnALoopbackCableWakesThePollerAndIsRead) {
    const unsigned char note[] = {0x91, 60, 100};
    ASSERT_EQ(vmidiFeed(0, note, sizeof note), 1);
    CvxMessage m{};
    ASSERT_TRUE(waitFor(WM_CVX_EVENTS, m));
    auto events = mainEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].message & 0xFFFFFFu, 0x643C91u);
    EXPECT_EQ(events[0].port, 0u);
}

TEST_F(EventTargetClient, LentSysExBuffersArriveWithTheirHeaderAndGoBack) {
    const unsigned char sysex[] = {0xF0, 0x7D, 0x01, 0x02, 0xF7};
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(vmidiFeed(0, sysex, sizeof sysex), 1);
        CvxMessage m{};
        ASSERT_TRUE(waitFor(WM_CVX_SYSEXDATA, m)) << "round " << round;
        EXPECT_EQ(reinterpret_cast<HMIDIIN>(m.wParam), input);
        auto* header = reinterpret_cast<MIDIHDR*>(m.lParam);
        ASSERT_NE(header, nullptr);
        EXPECT_EQ(header->dwBytesRecorded, sizeof sysex);
        // The one buffer must come back, or the next round's block has nowhere to go.
        EXPECT_EQ(RetBuf(input, static_cast<uint64_t>(m.lParam)), MMSYSERR_NOERROR);
    }
}

} // namespace
