// GetPortCounters on loopback cables: each count equals what was really lost, and the
// record is filled only as far as the caller's cbStruct says.
#include "datapath_fixture.h"

#include <atomic>
#include <cstring>

namespace cvx::test {
namespace {

constexpr uint8_t kUntouched = 0xAB;

CPortCounters readCounters(uint64_t client) {
    CPortCounters counters{};
    counters.cbStruct = sizeof counters;
    EXPECT_EQ(m32GetPortCounters(client, &counters), 1);
    return counters;
}

Bytes noteOns(size_t count) {
    Bytes bytes;
    for (size_t i = 0; i < count; ++i) {
        bytes.insert(bytes.end(), {0x90, static_cast<uint8_t>(i % 128), 100});
    }
    return bytes;
}

// Feeds `records` deliveries of `record` to input `target` from the service's input thread,
// where vmidiFeed never waits: what does not fit the input's ring is lost there and then,
// before the input thread can parse any of it. Driven by a message on input `trigger`.
class InputThreadFlood {
public:
    InputThreadFlood(unsigned trigger, unsigned target, Bytes record, int records)
        : target_(target), record_(std::move(record)), records_(records) {
        EXPECT_EQ(midiInOpen(&handle_, trigger, reinterpret_cast<DWORD_PTR>(&callback),
                             reinterpret_cast<DWORD_PTR>(this), CALLBACK_FUNCTION),
                  MMSYSERR_NOERROR);
        EXPECT_EQ(midiInStart(handle_), MMSYSERR_NOERROR);
        const uint8_t go = 0xF8;
        EXPECT_EQ(vmidiFeed(trigger, &go, 1), 1);
        vmidiSettle(); // the flood is queued
        vmidiSettle(); // and what fitted has been processed
    }
    ~InputThreadFlood() {
        midiInStop(handle_);
        midiInClose(handle_);
    }
    InputThreadFlood(const InputThreadFlood&) = delete;
    InputThreadFlood& operator=(const InputThreadFlood&) = delete;

private:
    static void callback(HMIDIIN, UINT msg, DWORD_PTR instance, DWORD_PTR, DWORD_PTR) {
        auto* self = reinterpret_cast<InputThreadFlood*>(instance);
        if (msg != MIM_DATA || self->done_.exchange(true)) {
            return;
        }
        for (int i = 0; i < self->records_; ++i) {
            vmidiFeed(self->target_, self->record_.data(),
                      static_cast<unsigned>(self->record_.size()));
        }
    }

    HMIDIIN handle_ = nullptr;
    unsigned target_;
    Bytes record_;
    int records_;
    std::atomic<bool> done_{false};
};

class PortCountersTest : public DataPathTest {};

// Cable 3's input triggers a flood into cable 1's input, which is routed to cable 2's
// output: every delivery that fitted reaches the output whole, every other one is counted.
// The main queue, read by nobody meanwhile, keeps 2400 records and counts the rest.
TEST_F(PortCountersTest, InputOverrunsAndQueueDropsCountExactlyWhatWasLost) {
    constexpr size_t kMessagesPerRecord = 1365; // 4095 bytes: one delivery each
    constexpr int kRecords = 100;               // more than the input's ring holds
    HMIDIIN in = openInput(0);
    openOutput(1, routeFrom({0}));
    { InputThreadFlood flood(2, 0, noteOns(kMessagesPerRecord), kRecords); }

    size_t messages = take(1).size() / 3;
    ASSERT_EQ(messages % kMessagesPerRecord, 0u);
    uint64_t delivered = messages / kMessagesPerRecord;
    ASSERT_GT(delivered, 0u);
    ASSERT_LT(delivered, static_cast<uint64_t>(kRecords));

    CPortCounters counters = readCounters(handle);
    EXPECT_EQ(counters.inputOverruns[0], kRecords - delivered);
    EXPECT_EQ(counters.queueDrops[MON_MAIN], messages - cvx::core::EventQueue::kCapacity);
    EXPECT_EQ(readAll(MON_MAIN).size(), cvx::core::EventQueue::kCapacity);
    EXPECT_EQ(counters.inputOverruns[1], 0u);
    EXPECT_EQ(counters.outputFailures[1], 0u);

    // The platform tells the same for the handle, and nothing for a handle no longer open.
    uint64_t platformCount = 0;
    ASSERT_EQ(cvxMidiInGetOverruns(in, &platformCount), MMSYSERR_NOERROR);
    EXPECT_EQ(platformCount, kRecords - delivered);
    EXPECT_EQ(cvxMidiInGetOverruns(in, nullptr), MMSYSERR_INVALPARAM);

    // A closed input keeps the count of its last opening; opening it again starts anew.
    ASSERT_EQ(m32CloseMidiIn(in, handle), 1);
    forgetInput(in);
    EXPECT_EQ(cvxMidiInGetOverruns(in, &platformCount), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(readCounters(handle).inputOverruns[0], kRecords - delivered);
    HMIDIIN again = openInput(0);
    EXPECT_EQ(readCounters(handle).inputOverruns[0], 0u);
    ASSERT_EQ(cvxMidiInGetOverruns(again, &platformCount), MMSYSERR_NOERROR);
    EXPECT_EQ(platformCount, 0u);
}

// The raw monitor's queue counts its own drops; while it is attached, processed input does
// not go to the main queue, so that one drops nothing.
TEST_F(PortCountersTest, EachQueueCountsItsOwnDrops) {
    constexpr size_t kExtra = 37;
    openInput(0);
    feed(0, noteOns(cvx::core::EventQueue::kCapacity + kExtra));
    EXPECT_EQ(readCounters(handle).queueDrops[MON_MAIN], kExtra);
    readAll(MON_MAIN);

    RecordingWindow raw;
    ASSERT_EQ(m32AttachRawMonitor(handle, raw.handle()), 1);
    feed(0, noteOns(cvx::core::EventQueue::kCapacity + 2 * kExtra));
    CPortCounters counters = readCounters(handle);
    EXPECT_EQ(counters.queueDrops[MON_RAW_INPUT], 2 * kExtra);
    EXPECT_EQ(counters.queueDrops[MON_MAIN], kExtra);
    EXPECT_EQ(readAll(MON_RAW_INPUT).size(), cvx::core::EventQueue::kCapacity);

    // The count outlives the consumer's queue.
    ASSERT_EQ(m32DetachRawMonitor(handle), 1);
    EXPECT_EQ(readCounters(handle).queueDrops[MON_RAW_INPUT], 2 * kExtra);
}

// An output whose device vanished fails every send: routed messages, injected ones (tried
// twice, counted once) and SysEx buffers sent by the pump are each counted once.
TEST_F(PortCountersTest, FailedSendsAreCountedPerOutput) {
    ASSERT_EQ(vmidiAddCable("Counters Cable"), 1);
    unsigned device = midiOutGetNumDevs() - 1;
    openInput(0);
    HMIDIOUT out = openOutput(static_cast<uint16_t>(device), routeFrom({0, CVX_GENERATED_PORT}), 1);
    ASSERT_EQ(vmidiRemoveCable("Counters Cable"), 1);

    feed(0, noteOns(3));
    m32corvexEvent(handle, 0x90, 0, 60, 100, 0);
    m32corvexEvent(handle, 0xB0, 1, 7, 100, 0);
    EXPECT_EQ(readCounters(handle).outputFailures[device], 5u);
    Bytes block = sysex(20);
    ASSERT_EQ(m32SendSysEx(handle, reinterpret_cast<char*>(block.data()), 20), MMSYSERR_NOERROR);
    cvxClockAdvance(10); // the SysEx pump runs
    EXPECT_EQ(readCounters(handle).outputFailures[device], 6u);
    ASSERT_EQ(m32CloseMidiOut(out, handle), 1);
    forgetOutput(out);
}

// A routed SysEx block that finds no free output buffer is cut off and counted; a block
// that cannot be handed to the application (its window is gone) counts as a reject.
TEST_F(PortCountersTest, SysExThatCannotBePlacedIsCounted) {
    openInput(0, 2);
    openOutput(1, routeFrom({0}), 1);
    feed(0, sysex(100));
    feed(0, sysex(100)); // the pump has not run (manual clock): the one buffer is taken
    EXPECT_EQ(readCounters(handle).outputFailures[1], 1u);
    EXPECT_EQ(readCounters(handle).inputRejects[0], 0u);

    HWND gone = cvxWindowCreate([](void*, uint32_t, uintptr_t, intptr_t) {}, nullptr);
    cvxWindowDestroy(gone);
    CFilter none{};
    uint64_t orphan = m32CreateClient(gone, nullptr, &none);
    ASSERT_NE(orphan, 0u);
    HMIDIIN in = nullptr;
    ASSERT_EQ(vx16OpenMidiIn(&in, 2, orphan), MMSYSERR_NOERROR);
    ASSERT_EQ(m32AllocSyxBufIn(in, orphan, 256), 1);
    ASSERT_EQ(m32StartMidiIn(in), MMSYSERR_NOERROR);
    feed(2, sysex(50));
    feed(2, sysex(50)); // the buffer went back to the input and is used again
    EXPECT_EQ(readCounters(orphan).inputRejects[2], 2u);
    EXPECT_EQ(m32CloseMidiIn(in, orphan), 1);
    m32DestroyClient(orphan);
}

TEST_F(PortCountersTest, FillsOnlyAsFarAsTheCallerSays) {
    openInput(0);
    feed(0, noteOns(cvx::core::EventQueue::kCapacity + 1));

    CPortCounters counters;
    std::memset(&counters, kUntouched, sizeof counters);
    counters.cbStruct = offsetof(CPortCounters, inputRejects);
    ASSERT_EQ(m32GetPortCounters(handle, &counters), 1);
    EXPECT_EQ(counters.cbStruct, offsetof(CPortCounters, inputRejects));
    EXPECT_EQ(counters.reserved, 0u);
    EXPECT_EQ(counters.inputOverruns[CVX_PORT_COUNT - 1], 0u);
    uint64_t untouched = 0;
    std::memset(&untouched, kUntouched, sizeof untouched);
    EXPECT_EQ(counters.inputRejects[0], untouched);
    EXPECT_EQ(counters.queueDrops[MON_MAIN], untouched);

    // A caller that knows a longer record learns how much this engine filled.
    struct Longer {
        CPortCounters known;
        uint64_t later;
    } longer{};
    longer.known.cbStruct = sizeof longer;
    ASSERT_EQ(m32GetPortCounters(handle, &longer.known), 1);
    EXPECT_EQ(longer.known.cbStruct, sizeof(CPortCounters));
    EXPECT_EQ(longer.known.queueDrops[MON_MAIN], 1u);

    counters.cbStruct = CVX_PORT_COUNTERS_MIN_SIZE - 1;
    EXPECT_EQ(m32GetPortCounters(handle, &counters), 0);
    EXPECT_EQ(m32GetPortCounters(handle, nullptr), 0);
    counters.cbStruct = sizeof counters;
    EXPECT_EQ(m32GetPortCounters(0, &counters), 0);
}

} // namespace
} // namespace cvx::test
