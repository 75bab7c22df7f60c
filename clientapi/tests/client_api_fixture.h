// A client made through the client API, with ports on the virtual loopback cables and the
// manual clock. Every engine operation goes through the client API's names; the test tap
// (vmidi.h) feeds inputs and reads back what outputs sent. A cable's output arrives at its
// own input, so tests open the inputs of some cables and the outputs of others.
#pragma once

#include "cvxlib.h"
#include "recording_window.h"
#include "vmidi.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <initializer_list>
#include <vector>

namespace cvx::test {

using Bytes = std::vector<uint8_t>;

inline constexpr uint32_t kAllMessages = 0x7FFFF; // channels, SysEx, realtime, common

inline CPortMap routeFrom(std::initializer_list<uint32_t> inputs) {
    CPortMap map{};
    for (uint32_t i : inputs) {
        map.inputBits[i / 32] |= 1u << (i % 32);
        map.inputMasks[i] = kAllMessages;
    }
    return map;
}

class ClientApiTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { setenv("CORVEX_MIDI", "virtual", 1); }

    void SetUp() override {
        cvxClockManual(1);
        ASSERT_EQ(InitCallBack(), 1);
        client = CreateClient(mainWindow.handle(), nullptr, &filter);
        ASSERT_NE(client, 0u);
        drainQueues();
        vmidiSettle();
        for (unsigned device = 0; device < midiOutGetNumDevs(); ++device) {
            take(device);
        }
    }

    void TearDown() override {
        for (HMIDIIN in : inputs_) {
            CloseMidiIn(in, client);
        }
        for (HMIDIOUT out : outputs_) {
            CloseMidiOut(out, client);
        }
        vmidiSettle();
        DestroyClient(client);
        drainQueues();
        FreeCallBack();
        cvxClockManual(0);
    }

    HMIDIIN openInput(uint16_t device, int sysexBuffers = 0) {
        HMIDIIN in = nullptr;
        EXPECT_EQ(OpenMidiIn(&in, device, client), MMSYSERR_NOERROR);
        for (int i = 0; i < sysexBuffers; ++i) {
            EXPECT_EQ(AllocSyxBufIn(in, client, 256), 1);
        }
        EXPECT_EQ(StartMidiIn(in), MMSYSERR_NOERROR);
        inputs_.push_back(in);
        return in;
    }

    HMIDIOUT openOutput(uint16_t device, CPortMap map, int sysexBuffers = 0) {
        HMIDIOUT out = nullptr;
        EXPECT_EQ(OpenMidiOut(&out, device, 0, &map, client), MMSYSERR_NOERROR);
        for (int i = 0; i < sysexBuffers; ++i) {
            EXPECT_EQ(AllocSyxBufOut(out, client, 256), 1);
        }
        outputs_.push_back(out);
        return out;
    }

    void closeInput(HMIDIIN in) {
        EXPECT_EQ(CloseMidiIn(in, client), 1);
        std::erase(inputs_, in);
    }

    void closeOutput(HMIDIOUT out) {
        EXPECT_EQ(CloseMidiOut(out, client), 1);
        std::erase(outputs_, out);
    }

    static void feed(unsigned device, const Bytes& bytes) {
        ASSERT_EQ(vmidiFeed(device, bytes.data(), static_cast<unsigned>(bytes.size())), 1);
        vmidiSettle();
    }

    static Bytes take(unsigned device) {
        Bytes bytes(1 << 16);
        bytes.resize(vmidiTake(device, bytes.data(), static_cast<unsigned>(bytes.size())));
        return bytes;
    }

    std::vector<EVENT> readAll(MonID id) const {
        std::vector<EVENT> events;
        EVENT e{};
        while (GetEvent(client, &e, id)) {
            events.push_back(e);
        }
        return events;
    }

    // The events of a queue that are not SysEx display pieces.
    std::vector<EVENT> messages(MonID id) const {
        std::vector<EVENT> found;
        for (const EVENT& e : readAll(id)) {
            if ((e.message >> 24) != CVX_ORIGIN_CHUNK) {
                found.push_back(e);
            }
        }
        return found;
    }

    CFilter filter{};
    RecordingWindow mainWindow;
    uint64_t client = 0;

private:
    // The read caches are process-wide: what one test left is not the next one's.
    static void drainQueues() {
        EVENT e{};
        for (MonID id = MON_RAW_INPUT; id <= MON_SCRIPT; ++id) {
            while (GetEvent(0, &e, id)) {
            }
        }
    }

    std::vector<HMIDIIN> inputs_;
    std::vector<HMIDIOUT> outputs_;
};

} // namespace cvx::test
