// Sending to several outputs from several threads: a blocked output holds up no other, each
// output gets its messages in order with monitor records in the wire's order, no platform
// send is made under the engine lock, and an output whose device never blocks is sent to on
// the thread that produced the message.
#include "client_fixture.h"
#include "gate_backend.h"
#include "output/output_lane.h"
#include "platform/midi_service.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <thread>

namespace {

using cvx::test::GateBackend;
using Bytes = std::vector<uint8_t>;

constexpr uint32_t kAllMessages = 0x7FFFF;
constexpr uint16_t kGateA = 0; // output device indices
constexpr uint16_t kGateB = 1;

CPortMap routeFrom(std::initializer_list<uint32_t> inputs) {
    CPortMap map{};
    for (uint32_t i : inputs) {
        map.inputBits[i / 32] |= 1u << (i % 32);
        map.inputMasks[i] = kAllMessages;
    }
    return map;
}

// `count` Note On messages on `channel` with keys counting up: whole, so each is 3 bytes.
Bytes notes(uint8_t channel, uint32_t count) {
    Bytes bytes;
    for (uint32_t i = 0; i < count; ++i) {
        bytes.insert(bytes.end(),
                     {static_cast<uint8_t>(0x90 | channel), static_cast<uint8_t>(i % 128),
                      static_cast<uint8_t>(1 + i / 128)});
    }
    return bytes;
}

// The wire bytes of the messages in `records` (3-byte channel messages).
Bytes wireOf(const std::vector<EVENT>& records) {
    Bytes bytes;
    for (const EVENT& e : records) {
        bytes.insert(bytes.end(),
                     {static_cast<uint8_t>(e.message), static_cast<uint8_t>(e.message >> 8),
                      static_cast<uint8_t>(e.message >> 16)});
    }
    return bytes;
}

// The messages on one channel, in order.
Bytes channelOf(const Bytes& wire, uint8_t channel) {
    Bytes out;
    for (size_t i = 0; i + 2 < wire.size(); i += 3) {
        if ((wire[i] & 0x0F) == channel) {
            out.insert(out.end(), wire.begin() + static_cast<long>(i),
                       wire.begin() + static_cast<long>(i) + 3);
        }
    }
    return out;
}

class OutputLaneTest : public cvx::test::ClientTest {
protected:
    // Whether the gate outputs promise sends that never wait.
    virtual bool neverBlocks() const { return false; }

    void SetUp() override {
        auto backend = std::make_unique<GateBackend>(neverBlocks());
        gate = backend.get();
        std::vector<std::unique_ptr<cvx::platform::MidiBackend>> backends;
        backends.push_back(std::move(backend));
        cvx::platform::MidiService::restartWith(std::move(backends));
        ClientTest::SetUp();
        ASSERT_EQ(vx16OpenMidiIn(&input, 0, handle), MMSYSERR_NOERROR);
        ASSERT_EQ(m32StartMidiIn(input), MMSYSERR_NOERROR);
        CPortMap map = routeFrom({0, cvx::core::kGeneratedPort});
        ASSERT_EQ(vx16OpenMidiOut(&outA, kGateA, 0, &map, handle), MMSYSERR_NOERROR);
        ASSERT_EQ(vx16OpenMidiOut(&outB, kGateB, 0, &map, handle), MMSYSERR_NOERROR);
    }

    void TearDown() override {
        gate->hold(false);
        m32CloseMidiIn(input, handle);
        m32CloseMidiOut(outA, handle);
        m32CloseMidiOut(outB, handle);
        ClientTest::TearDown();
        cvx::platform::MidiService::restartFromEnvironment();
    }

    // The sent-message records of one output, in queue order.
    static std::vector<EVENT> recordsOf(const std::vector<EVENT>& records, uint16_t device) {
        std::vector<EVENT> sent;
        for (const EVENT& e : records) {
            if (e.outPort == device + 1) {
                sent.push_back(e);
            }
        }
        return sent;
    }

    uint64_t droppedOn(uint16_t device) {
        return client->outputs->ports[device].lane.load()->dropped();
    }

    // The input thread and the application send to both outputs at once; each stream stays
    // in order on each wire, and each output's records follow its wire.
    void sendFromInputAndApplicationTogether();

    GateBackend* gate = nullptr;
    HMIDIIN input = nullptr;
    HMIDIOUT outA = nullptr;
    HMIDIOUT outB = nullptr;
};

TEST_F(OutputLaneTest, ABlockedOutputHoldsUpNoOtherAndCatchesUpInOrder) {
    const Bytes fed = notes(0, 300);
    gate->hold(true);
    ASSERT_EQ(vmidiFeed(0, fed.data(), static_cast<unsigned>(fed.size())), 1);

    ASSERT_TRUE(gate->waitForBytes(GateBackend::kGateB, fed.size()))
        << "Gate B got " << gate->received(GateBackend::kGateB).size() << " of " << fed.size()
        << " bytes while Gate A was blocked";
    EXPECT_EQ(gate->received(GateBackend::kGateB), fed);
    ASSERT_TRUE(gate->waitForGateAEntered());
    EXPECT_TRUE(gate->received(GateBackend::kGateA).empty());

    gate->hold(false);
    ASSERT_TRUE(gate->waitForBytes(GateBackend::kGateA, fed.size()));
    cvx::output::waitLanesIdle();
    EXPECT_EQ(gate->received(GateBackend::kGateA), fed);
    EXPECT_EQ(droppedOn(kGateA), 0u);

    std::vector<EVENT> records = readAll(MON_MAIN);
    EXPECT_EQ(wireOf(recordsOf(records, kGateA)), fed)
        << "one record per message sent, in the wire's order";
    EXPECT_EQ(wireOf(recordsOf(records, kGateB)), fed);
    EXPECT_EQ(gate->sendsUnderEngineLock(), 0);
}

TEST_F(OutputLaneTest, WhatABlockedOutputCannotHoldIsDroppedAndCounted) {
    const uint32_t count = cvx::output::SendRing::kCapacity + 900;
    const Bytes fed = notes(0, count);
    gate->hold(true);
    ASSERT_EQ(vmidiFeed(0, fed.data(), static_cast<unsigned>(fed.size())), 1);
    ASSERT_TRUE(gate->waitForBytes(GateBackend::kGateB, fed.size()));
    EXPECT_EQ(gate->received(GateBackend::kGateB), fed) << "the free output loses nothing";

    gate->hold(false);
    ASSERT_TRUE(gate->waitForGateAEntered());
    cvx::output::waitLanesIdle();
    Bytes onA = gate->received(GateBackend::kGateA);
    ASSERT_EQ(onA.size() % 3, 0u);
    EXPECT_GT(droppedOn(kGateA), 0u);
    EXPECT_EQ(onA.size() / 3 + droppedOn(kGateA), count) << "every message sent or counted";
    EXPECT_TRUE(std::equal(onA.begin(), onA.end(), fed.begin()))
        << "what the blocked output got is the oldest part, in order";
}

void OutputLaneTest::sendFromInputAndApplicationTogether() {
    m32SendRunStatus(handle, 1);
    const uint32_t count = 500;
    const Bytes fed = notes(0, count);
    Bytes injected = notes(1, count);
    std::thread feeder([&] {
        for (size_t i = 0; i < fed.size(); i += 30) {
            vmidiFeed(0, fed.data() + i, 30);
        }
    });
    for (size_t i = 0; i < injected.size(); i += 3) {
        m32corvexEvent(handle, injected[i] & 0xF0, injected[i] & 0x0F, injected[i + 1],
                       injected[i + 2], 4);
    }
    feeder.join();
    vmidiSettle();

    std::vector<EVENT> records = readAll(MON_MAIN);
    for (auto [device, key] :
         {std::pair{kGateA, GateBackend::kGateA}, std::pair{kGateB, GateBackend::kGateB}}) {
        Bytes wire = gate->received(key);
        ASSERT_EQ(wire.size(), fed.size() + injected.size());
        EXPECT_EQ(channelOf(wire, 0), fed) << "output " << device;
        EXPECT_EQ(channelOf(wire, 1), injected) << "output " << device;
        EXPECT_EQ(wireOf(recordsOf(records, device)), wire)
            << "the records of output " << device << " follow its wire";
    }
    EXPECT_EQ(gate->sendsUnderEngineLock(), 0);
}

TEST_F(OutputLaneTest, InputAndApplicationSendingTogetherKeepEachStreamAndItsRecordsInOrder) {
    sendFromInputAndApplicationTogether();
}

TEST_F(OutputLaneTest, TheApplicationThreadSendsToAnIdleOutputBeforeItsCallReturns) {
    m32corvexEventDirect(handle, -1, 0xB0, 7, 100, 0);
    EXPECT_EQ(gate->received(GateBackend::kGateA), (Bytes{0xB0, 7, 100}));
    EXPECT_EQ(gate->received(GateBackend::kGateB), (Bytes{0xB0, 7, 100}));
    EXPECT_EQ(gate->sendsUnderEngineLock(), 0);
}

TEST_F(OutputLaneTest, TheApplicationIsNotHeldUpByAnOutputStuckInASend) {
    gate->hold(true);
    const Bytes fed = {0x90, 60, 1};
    ASSERT_EQ(vmidiFeed(0, fed.data(), 3), 1); // Gate A's sender gets stuck with it
    ASSERT_TRUE(gate->waitForGateAEntered());
    m32corvexEventDirect(handle, -1, 0xB0, 7, 2, 0);
    m32corvexEventDirect(handle, -1, 0xB0, 7, 3, 0);
    ASSERT_TRUE(gate->waitForBytes(GateBackend::kGateB, 9));
    EXPECT_EQ(gate->received(GateBackend::kGateB), (Bytes{0x90, 60, 1, 0xB0, 7, 2, 0xB0, 7, 3}));
    gate->hold(false);
    cvx::output::waitLanesIdle();
    EXPECT_EQ(gate->received(GateBackend::kGateA), (Bytes{0x90, 60, 1, 0xB0, 7, 2, 0xB0, 7, 3}))
        << "queued behind the stuck send, in order";
}

TEST_F(OutputLaneTest, SysExLeavesOutsideTheEngineLockAndEndsTheRunningStatus) {
    m32SendRunStatus(handle, 1);
    ASSERT_EQ(m32AllocSyxBufOut(outA, handle, 16), 1);
    ASSERT_EQ(m32AllocSyxBufOut(outB, handle, 16), 1);
    m32corvexEventDirect(handle, kGateB, 0x90, 60, 1, 0);
    const Bytes dump = {0xF0, 0x7D, 1, 2, 3, 0xF7};
    ASSERT_EQ(m32SendSysEx(handle, reinterpret_cast<char*>(const_cast<uint8_t*>(dump.data())),
                           static_cast<uint16_t>(dump.size())),
              MMSYSERR_NOERROR);
    cvxClockAdvance(5); // the SysEx pump runs
    const Bytes note = {0x90, 61, 1};
    ASSERT_EQ(vmidiFeed(0, note.data(), 3), 1);
    ASSERT_TRUE(gate->waitForBytes(GateBackend::kGateB, 3 + dump.size() + 3));
    EXPECT_EQ(gate->received(GateBackend::kGateB),
              (Bytes{0x90, 60, 1, 0xF0, 0x7D, 1, 2, 3, 0xF7, 0x90, 61, 1}));
    EXPECT_EQ(client->outputs->ports[kGateB].runningStatus, 0x90);
    EXPECT_EQ(gate->sendsUnderEngineLock(), 0);
}

class NeverBlockingOutputTest : public OutputLaneTest {
protected:
    bool neverBlocks() const override { return true; }
};

TEST_F(NeverBlockingOutputTest, TheInputThreadSendsItselfWithNoHandOff) {
    const Bytes fed = notes(0, 200);
    ASSERT_EQ(vmidiFeed(0, fed.data(), static_cast<unsigned>(fed.size())), 1);
    ASSERT_TRUE(gate->waitForBytes(GateBackend::kGateA, fed.size()));
    ASSERT_TRUE(gate->waitForBytes(GateBackend::kGateB, fed.size()));
    EXPECT_EQ(gate->received(GateBackend::kGateA), fed);
    EXPECT_EQ(gate->received(GateBackend::kGateB), fed);

    // One thread, the one that ran the input's processing, made every send to both outputs;
    // lanes would have used a thread per output.
    std::vector<std::thread::id> senders = gate->senders(GateBackend::kGateA);
    std::vector<std::thread::id> sendersB = gate->senders(GateBackend::kGateB);
    senders.insert(senders.end(), sendersB.begin(), sendersB.end());
    ASSERT_FALSE(senders.empty());
    EXPECT_NE(senders.front(), std::this_thread::get_id());
    EXPECT_EQ(std::count(senders.begin(), senders.end(), senders.front()),
              static_cast<long>(senders.size()));
    EXPECT_EQ(gate->sendsUnderEngineLock(), 0);
}

TEST_F(NeverBlockingOutputTest,
       InputAndApplicationSendingTogetherKeepEachStreamAndItsRecordsInOrder) {
    sendFromInputAndApplicationTogether();
}

TEST_F(NeverBlockingOutputTest, TheOutputAnswersForItsDeviceAndTheMapperForItsTarget) {
    EXPECT_NE(cvxMidiOutSendNeverBlocks(outA), 0);
    HMIDIOUT mapper = nullptr;
    ASSERT_EQ(midiOutOpen(&mapper, MIDI_MAPPER, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    EXPECT_NE(cvxMidiOutSendNeverBlocks(mapper), 0);
    ASSERT_EQ(midiOutClose(mapper), MMSYSERR_NOERROR);
    EXPECT_EQ(cvxMidiOutSendNeverBlocks(mapper), 0) << "a closed handle";
    EXPECT_EQ(cvxMidiOutSendNeverBlocks(nullptr), 0);
}

TEST_F(OutputLaneTest, AnOutputThatMayBlockSaysSo) {
    EXPECT_EQ(cvxMidiOutSendNeverBlocks(outA), 0);
    EXPECT_FALSE(client->outputs->ports[kGateA].lane.load()->sendNeverBlocks());
}

} // namespace
