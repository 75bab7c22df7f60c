// Devices coming and going: renumbering, the device-change callback, dead handles.
#include "platform_fixture.h"

#include <atomic>

namespace cvx::platform::testing {
namespace {

class HotPlug : public PlatformTest {
protected:
    static void count(void* user) {
        auto* self = static_cast<HotPlug*>(user);
        self->changes.fetch_add(1);
        self->countSeen.store(midiOutGetNumDevs()); // the lists are already re-read
    }
    std::atomic<int> changes{0};
    std::atomic<UINT> countSeen{0};
};

TEST_F(HotPlug, AddedCablesComeAfterTheOthersAndTheCallbackSeesTheNewList) {
    cvxMidiSetDeviceChangeCallback(&HotPlug::count, this);
    ASSERT_EQ(vmidiAddCable("Extra"), 1);
    EXPECT_EQ(changes.load(), 1);
    EXPECT_EQ(countSeen.load(), 5u);
    EXPECT_EQ(midiInGetNumDevs(), 5u);
    char name[64];
    cvxMidiOutGetName(4, name, sizeof name);
    EXPECT_STREQ(name, "Extra");
    // The new cable works both ways.
    Recorder r;
    HMIDIIN in = openStartedInput(4, r);
    HMIDIOUT out = nullptr;
    ASSERT_EQ(midiOutOpen(&out, 4, 0, 0, 0), MMSYSERR_NOERROR);
    midiOutShortMsg(out, 0x403C90);
    vmidiSettle();
    EXPECT_EQ(r.shortMessages(), std::vector<DWORD_PTR>{0x403C90});
    midiOutClose(out);
    midiInClose(in);
    EXPECT_EQ(vmidiAddCable(""), 0);
    EXPECT_EQ(vmidiRemoveCable("No such cable"), 0);
    EXPECT_EQ(changes.load(), 1);
}

TEST_F(HotPlug, RemovingACableRenumbersTheRestAndKillsItsHandles) {
    cvxMidiSetDeviceChangeCallback(&HotPlug::count, this);
    Recorder gone;
    Recorder kept;
    HMIDIIN goneIn = openStartedInput(1, gone);
    HMIDIIN keptIn = openStartedInput(2, kept);
    HMIDIOUT goneOut = nullptr;
    HMIDIOUT keptOut = nullptr;
    ASSERT_EQ(midiOutOpen(&goneOut, 1, 0, 0, 0), MMSYSERR_NOERROR);
    ASSERT_EQ(midiOutOpen(&keptOut, 2, 0, 0, 0), MMSYSERR_NOERROR);
    Buffer buffer(32);
    midiInPrepareHeader(goneIn, &buffer.header, sizeof(MIDIHDR));
    midiInAddBuffer(goneIn, &buffer.header, sizeof(MIDIHDR));
    size_t goneEvents = gone.events().size();

    ASSERT_EQ(vmidiRemoveCable("Corvex Loopback 2"), 1);
    EXPECT_EQ(changes.load(), 1);
    EXPECT_EQ(midiOutGetNumDevs(), 3u);
    UINT id = 99;
    EXPECT_EQ(midiOutGetID(goneOut, &id), MMSYSERR_NODRIVER);
    EXPECT_EQ(midiInGetID(goneIn, &id), MMSYSERR_NODRIVER);
    EXPECT_EQ(midiOutGetID(keptOut, &id), MMSYSERR_NOERROR);
    EXPECT_EQ(id, 1u); // Loopback 3 moved down
    EXPECT_EQ(midiInGetID(keptIn, &id), MMSYSERR_NOERROR);
    EXPECT_EQ(id, 1u);
    EXPECT_EQ(midiOutShortMsg(goneOut, 0x403C90), MMSYSERR_NODRIVER);
    EXPECT_EQ(midiInStart(goneIn), MMSYSERR_NODRIVER);
    EXPECT_EQ(midiInAddBuffer(goneIn, &buffer.header, sizeof(MIDIHDR)), MMSYSERR_NODRIVER);
    // Its buffer came back silently; the handles can still be cleaned up and closed.
    EXPECT_EQ(buffer.header.dwFlags & (MHDR_DONE | MHDR_INQUEUE), MHDR_DONE);
    EXPECT_EQ(midiInUnprepareHeader(goneIn, &buffer.header, sizeof(MIDIHDR)), MMSYSERR_NOERROR);
    // Index 1 is now Loopback 3: its traffic reaches only the kept handle.
    midiOutShortMsg(keptOut, 0x403C91);
    feed(1, {0x92, 0x3C, 0x40});
    vmidiSettle();
    EXPECT_EQ(kept.shortMessages(), (std::vector<DWORD_PTR>{0x403C91, 0x403C92}));
    EXPECT_EQ(gone.events().size(), goneEvents);
    EXPECT_EQ(midiInClose(goneIn), MMSYSERR_NOERROR);
    EXPECT_EQ(midiOutClose(goneOut), MMSYSERR_NOERROR);
    EXPECT_EQ(gone.events().size(), goneEvents); // no MIM_CLOSE for a dead input
    midiInClose(keptIn);
    midiOutClose(keptOut);
}

TEST_F(HotPlug, TheCallbackCanBeReplacedAndRemoved) {
    cvxMidiSetDeviceChangeCallback(&HotPlug::count, this);
    vmidiAddCable("One");
    cvxMidiSetDeviceChangeCallback(nullptr, nullptr);
    vmidiAddCable("Two");
    vmidiRemoveCable("One");
    EXPECT_EQ(changes.load(), 1);
    EXPECT_EQ(midiInGetNumDevs(), 5u);
}

TEST_F(HotPlug, LoopbackCountComesFromTheEnvironment) {
    setenv("CORVEX_LOOPBACKS", "9", 1);
    MidiService::restartFromEnvironment();
    EXPECT_EQ(midiInGetNumDevs(), 9u);
    setenv("CORVEX_LOOPBACKS", "40", 1);
    MidiService::restartFromEnvironment();
    EXPECT_EQ(midiInGetNumDevs(), 16u);
    setenv("CORVEX_LOOPBACKS", "many", 1);
    MidiService::restartFromEnvironment();
    EXPECT_EQ(midiInGetNumDevs(), 4u);
    unsetenv("CORVEX_LOOPBACKS");
}

} // namespace
} // namespace cvx::platform::testing
