#include "cvx_devices.h"
#include "datapath_fixture.h"

namespace {

using cvx::test::Bytes;
using cvx::test::DataPathTest;
using cvx::test::routeFrom;

TEST_F(DataPathTest, InputIndicesOutsideTheTableAreRefused) {
    HMIDIIN in = nullptr;
    EXPECT_EQ(vx16OpenMidiIn(&in, 136, handle), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(vx16OpenMidiIn(&in, 135, handle), MMSYSERR_BADDEVICEID)
        << "the generated-event port is no device";
    EXPECT_EQ(in, nullptr);
    EXPECT_EQ(client->inputs.openCount.load(), 0);
    HMIDIOUT out = nullptr;
    CPortMap map{};
    EXPECT_EQ(vx16OpenMidiOut(&out, 136, 0, &map, handle), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(vx16OpenMidiIn(&in, 0, 0), MMSYSERR_BADDEVICEID) << "no client";
}

TEST_F(DataPathTest, OpeningAnOpenIndexAgainChangesNothing) {
    HMIDIIN first = openInput(0);
    HMIDIIN second = nullptr;
    EXPECT_EQ(vx16OpenMidiIn(&second, 0, handle), MMSYSERR_ALLOCATED);
    EXPECT_EQ(client->inputs.openCount.load(), 1);
    HMIDIOUT out = openOutput(2, routeFrom({0}));
    HMIDIOUT again = nullptr;
    CPortMap map{};
    EXPECT_EQ(vx16OpenMidiOut(&again, 2, 0, &map, handle), MMSYSERR_ALLOCATED);
    EXPECT_EQ(client->outputs->openCount.load(), 1);
    EXPECT_EQ(m32CloseMidiIn(first, handle), 1);
    forgetInput(first);
    EXPECT_EQ(m32CloseMidiIn(first, handle), 1) << "closing twice releases nothing twice";
    EXPECT_EQ(client->inputs.openCount.load(), 0);
    EXPECT_EQ(m32CloseMidiOut(out, handle), 1);
    forgetOutput(out);
    EXPECT_EQ(m32CloseMidiOut(out, handle), 0);
    EXPECT_EQ(client->outputs->openCount.load(), 0);
    EXPECT_EQ(m32CloseMidiIn(nullptr, handle), 0);
    EXPECT_EQ(m32CloseMidiOut(nullptr, handle), 0);
}

TEST_F(DataPathTest, HighestOpenOutputFollowsOpensAndCloses) {
    HMIDIOUT zero = openOutput(0, CPortMap{});
    HMIDIOUT five = nullptr;
    vmidiAddCable("Extra A"); // devices 4
    vmidiAddCable("Extra B"); // and 5
    CPortMap map{};
    ASSERT_EQ(vx16OpenMidiOut(&five, 5, 0, &map, handle), MMSYSERR_NOERROR);
    EXPECT_EQ(client->outputs->highestOpen.load(), 5);
    EXPECT_EQ(m32CloseMidiOut(five, handle), 1);
    EXPECT_EQ(client->outputs->highestOpen.load(), 0);
    EXPECT_EQ(m32CloseMidiOut(zero, handle), 1);
    forgetOutput(zero);
    EXPECT_EQ(client->outputs->highestOpen.load(), -1);
    vmidiRemoveCable("Extra B");
    vmidiRemoveCable("Extra A");
}

TEST_F(DataPathTest, TheMapperRoutesThroughTheRecordItWasOpenedAt) {
    uint32_t devices = midiOutGetNumDevs();
    HMIDIOUT mapper = nullptr;
    CPortMap map = routeFrom({cvx::core::kGeneratedPort});
    ASSERT_EQ(vx16OpenMidiOut(&mapper, static_cast<uint16_t>(devices), 1, &map, handle),
              MMSYSERR_NOERROR);
    EXPECT_EQ(client->outputs->mapperIndex.load(), static_cast<int>(devices));
    m32corvexEventDirect(handle, -1, 0x90, 60, 100, 0);
    EXPECT_EQ(take(MIDI_MAPPER), (Bytes{0x90, 60, 100}));
    auto sent = sentRecords();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].outPort, devices + 1);
    EXPECT_EQ(m32CloseMidiOut(mapper, handle), 1);
    EXPECT_EQ(client->outputs->mapperIndex.load(), -1);
    EXPECT_EQ(client->outputs->openCount.load(), 0);
}

TEST_F(DataPathTest, OpenFailuresComeBackUnchangedAndRecordNothing) {
    vmidiFailOpen(1, 0, MMSYSERR_ALLOCATED);
    HMIDIIN in = nullptr;
    EXPECT_EQ(vx16OpenMidiIn(&in, 1, handle), MMSYSERR_ALLOCATED);
    EXPECT_EQ(client->inputs.openCount.load(), 0);
    EXPECT_EQ(client->inputs.openBits[0].load() & 2u, 0u);
    EXPECT_EQ(client->inputs.ports[1].handle.load(), nullptr);
}

void countChange(void* user) {
    ++*static_cast<int*>(user);
}

TEST_F(DataPathTest, PortsOfAVanishedDeviceStillCloseAndReleaseTheirRecords) {
    int changes = 0;
    cvxMidiSetDeviceChangeCallback(countChange, &changes);
    ASSERT_EQ(vmidiAddCable("Unplugged"), 1); // input and output 4
    HMIDIIN in = nullptr;
    ASSERT_EQ(vx16OpenMidiIn(&in, 4, handle), MMSYSERR_NOERROR);
    ASSERT_EQ(m32AllocSyxBufIn(in, handle, 64), 1);
    m32StartMidiIn(in);
    HMIDIOUT out = nullptr;
    CPortMap map = routeFrom({4, cvx::core::kGeneratedPort});
    ASSERT_EQ(vx16OpenMidiOut(&out, 4, 0, &map, handle), MMSYSERR_NOERROR);
    ASSERT_EQ(m32AllocSyxBufOut(out, handle, 64), 1);
    ASSERT_EQ(vmidiRemoveCable("Unplugged"), 1);
    EXPECT_GE(changes, 2);
    m32corvexEvent(handle, 0x90, 0, 60, 100, 0); // sending to the dead output is harmless
    char block[] = {char(0xF0), 0x01, char(0xF7)};
    m32SendSysEx(handle, block, 3);
    cvxClockAdvance(5);
    EXPECT_EQ(m32CloseMidiIn(in, handle), 1);
    EXPECT_EQ(m32CloseMidiOut(out, handle), 1);
    EXPECT_EQ(client->inputs.openCount.load(), 0);
    EXPECT_EQ(client->outputs->openCount.load(), 0);
    EXPECT_EQ(client->outputs->highestOpen.load(), -1);
    cvxMidiSetDeviceChangeCallback(nullptr, nullptr);
}

TEST_F(DataPathTest, UpdatePortMapReplacesTheRouteAndLeavesInputUnblocked) {
    openInput(0);
    HMIDIOUT out = openOutput(2, routeFrom({0}, 0x0001)); // channel 1 only
    (void)out;
    m32InputBlocker(handle, 1);
    CPortMap both = routeFrom({0}, 0x0003);
    m32UpdPortMap(handle, 2, &both);
    EXPECT_EQ(client->flags.inputBlocker.load(), 0);
    feed(0, {0x91, 60, 100});
    EXPECT_EQ(take(2), (Bytes{0x91, 60, 100}));
    m32UpdPortMap(handle, 200, &both); // outside the table: ignored
}

} // namespace
