// MIDI output through the service: running status on a byte stream and on a whole-message
// backend, long messages and their headers, the mapper alias, devices, handles and errors.
#include "platform_fixture.h"

#include <cstring>

namespace cvx::platform::testing {
namespace {

class MidiOutput : public PlatformTest {
protected:
    HMIDIOUT open(UINT device) {
        HMIDIOUT out = nullptr;
        EXPECT_EQ(midiOutOpen(&out, device, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
        return out;
    }
};

TEST_F(MidiOutput, TheTapShowsRunningStatusExactlyAsSentAndTheCableParsesItBack) {
    Recorder r;
    HMIDIIN in = openStartedInput(0, r);
    HMIDIOUT out = open(0);
    EXPECT_EQ(midiOutShortMsg(out, 0x403C90), MMSYSERR_NOERROR);
    EXPECT_EQ(midiOutShortMsg(out, 0x453E), MMSYSERR_NOERROR); // status left out
    EXPECT_EQ(midiOutShortMsg(out, 0xF8), MMSYSERR_NOERROR);   // keeps running status
    EXPECT_EQ(midiOutShortMsg(out, 0x0040), MMSYSERR_NOERROR);
    EXPECT_EQ(midiOutShortMsg(out, 0x05C5), MMSYSERR_NOERROR);
    EXPECT_EQ(midiOutShortMsg(out, 0x07), MMSYSERR_NOERROR); // one data byte for 0xC5
    EXPECT_EQ(midiOutShortMsg(out, 0x0201F2), MMSYSERR_NOERROR);
    EXPECT_EQ(midiOutShortMsg(out, 0x0102), MMSYSERR_INVALPARAM); // no status to continue
    EXPECT_EQ(midiOutShortMsg(out, 0xF0), MMSYSERR_INVALPARAM);
    EXPECT_EQ(takeAll(0), (std::vector<uint8_t>{0x90, 0x3C, 0x40, 0x3E, 0x45, 0xF8, 0x40, 0x00,
                                                0xC5, 0x05, 0x07, 0xF2, 0x01, 0x02}));
    EXPECT_TRUE(takeAll(0).empty());
    vmidiSettle();
    EXPECT_EQ(r.shortMessages(),
              (std::vector<DWORD_PTR>{0x403C90, 0x453E90, 0xF8, 0x4090, 0x05C5, 0x07C5, 0x0201F2}));
    midiInClose(in);
    midiOutClose(out);
}

TEST_F(MidiOutput, TakeLeavesWhatDoesNotFitForTheNextTake) {
    HMIDIOUT out = open(2);
    midiOutShortMsg(out, 0x403C90);
    midiOutShortMsg(out, 0x403C80);
    uint8_t first[4];
    ASSERT_EQ(vmidiTake(2, first, 4), 4u);
    EXPECT_EQ(first[3], 0x80);
    EXPECT_EQ(takeAll(2), (std::vector<uint8_t>{0x3C, 0x40}));
    EXPECT_EQ(vmidiTake(99, first, 4), 0u);
    midiOutClose(out);
}

TEST_F(MidiOutput, AWholeMessageBackendGetsEachMessageWithItsStatusRestored) {
    FakeBackend* fake = restartWithFake();
    ASSERT_EQ(midiOutGetNumDevs(), 5u);
    HMIDIOUT out = open(4);
    midiOutShortMsg(out, 0x403C90);
    midiOutShortMsg(out, 0x453E);
    midiOutShortMsg(out, 0xFE);
    midiOutShortMsg(out, 0x05C5);
    midiOutShortMsg(out, 0x07);
    EXPECT_EQ(fake->sent(),
              (std::vector<std::vector<uint8_t>>{
                  {0x90, 0x3C, 0x40}, {0x90, 0x3E, 0x45}, {0xFE}, {0xC5, 0x05}, {0xC5, 0x07}}));
    midiOutClose(out);
}

TEST_F(MidiOutput, LongMessagesGoOutWholeAndComeBackDone) {
    HMIDIOUT out = open(1);
    Buffer b(6);
    std::memcpy(b.data.data(), "\xF0\x43\x10\x4C\x00\xF7", 6);
    EXPECT_EQ(midiOutLongMsg(out, &b.header, sizeof(MIDIHDR)), MIDIERR_UNPREPARED);
    EXPECT_EQ(midiOutPrepareHeader(out, &b.header, 100), MMSYSERR_INVALPARAM);
    ASSERT_EQ(midiOutPrepareHeader(out, &b.header, sizeof(MIDIHDR)), MMSYSERR_NOERROR);
    EXPECT_EQ(midiOutLongMsg(out, &b.header, 111), MMSYSERR_INVALPARAM);
    ASSERT_EQ(midiOutLongMsg(out, &b.header, sizeof(MIDIHDR)), MMSYSERR_NOERROR);
    EXPECT_EQ(b.header.dwFlags & (MHDR_DONE | MHDR_INQUEUE | MHDR_PREPARED),
              MHDR_DONE | MHDR_PREPARED);
    // A shorter piece of the same buffer: dwBytesRecorded says how much.
    b.header.dwBytesRecorded = 2;
    ASSERT_EQ(midiOutLongMsg(out, &b.header, sizeof(MIDIHDR)), MMSYSERR_NOERROR);
    EXPECT_EQ(takeAll(1), (std::vector<uint8_t>{0xF0, 0x43, 0x10, 0x4C, 0x00, 0xF7, 0xF0, 0x43}));
    EXPECT_EQ(midiOutUnprepareHeader(out, &b.header, sizeof(MIDIHDR)), MMSYSERR_NOERROR);
    EXPECT_EQ(b.header.dwFlags & MHDR_PREPARED, 0u);
    midiOutClose(out);
}

TEST_F(MidiOutput, ALongMessageStillBeingSentBlocksUnprepareAndCloseAndResetWaitsForIt) {
    FakeBackend* fake = restartWithFake();
    HMIDIOUT out = open(4);
    Buffer b(64);
    b.data[0] = static_cast<char>(0xF0);
    b.data[63] = static_cast<char>(0xF7);
    midiOutPrepareHeader(out, &b.header, sizeof(MIDIHDR));
    fake->closeGateAbove(3);
    std::thread sender([&] { EXPECT_EQ(midiOutLongMsg(out, &b.header, sizeof(MIDIHDR)), 0u); });
    fake->waitInGate();
    EXPECT_EQ(b.header.dwFlags & (MHDR_DONE | MHDR_INQUEUE), MHDR_INQUEUE);
    EXPECT_EQ(midiOutUnprepareHeader(out, &b.header, sizeof(MIDIHDR)), MIDIERR_STILLPLAYING);
    EXPECT_EQ(midiOutClose(out), MIDIERR_STILLPLAYING);
    std::thread resetter([&] {
        EXPECT_EQ(midiOutReset(out), MMSYSERR_NOERROR);
        EXPECT_EQ(b.header.dwFlags & (MHDR_DONE | MHDR_INQUEUE), MHDR_DONE);
    });
    fake->openGate();
    resetter.join();
    sender.join();
    EXPECT_EQ(midiOutUnprepareHeader(out, &b.header, sizeof(MIDIHDR)), MMSYSERR_NOERROR);
    EXPECT_EQ(midiOutClose(out), MMSYSERR_NOERROR);
}

TEST_F(MidiOutput, TheMapperAliasesLoopbackOneWhenOnlyVirtualOutputsExist) {
    HMIDIOUT mapper = open(MIDI_MAPPER);
    UINT id = 0;
    EXPECT_EQ(midiOutGetID(mapper, &id), MMSYSERR_NOERROR);
    EXPECT_EQ(id, MIDI_MAPPER);
    HMIDIOUT direct = open(0); // the aliased device stays openable
    midiOutShortMsg(mapper, 0x403C90);
    midiOutShortMsg(mapper, 0x0041);
    midiOutShortMsg(direct, 0xFC);
    EXPECT_EQ(takeAll(0), (std::vector<uint8_t>{0x90, 0x3C, 0x40, 0x41, 0x00, 0xFC}));
    MIDIOUTCAPS caps{};
    ASSERT_EQ(midiOutGetDevCaps(MIDI_MAPPER, &caps, sizeof caps), MMSYSERR_NOERROR);
    EXPECT_STREQ(caps.szPname, "MIDI Mapper");
    EXPECT_EQ(caps.wTechnology, MOD_MAPPER);
    EXPECT_EQ(midiOutClose(mapper), MMSYSERR_NOERROR);
    EXPECT_EQ(midiOutClose(direct), MMSYSERR_NOERROR);
}

TEST_F(MidiOutput, TheMapperPrefersTheFirstNonVirtualOutput) {
    FakeBackend* fake = restartWithFake();
    HMIDIOUT mapper = open(MIDI_MAPPER);
    midiOutShortMsg(mapper, 0x403C90);
    EXPECT_EQ(fake->sent().size(), 1u);
    EXPECT_TRUE(takeAll(0).empty());
    char backend[16];
    EXPECT_EQ(cvxMidiOutGetBackend(MIDI_MAPPER, backend, sizeof backend), MMSYSERR_NOERROR);
    EXPECT_STREQ(backend, "fake");
    midiOutClose(mapper);
}

// Only the loopback backend itself has cables, whatever another backend calls itself: the
// tap neither reads from nor adds cables to a backend that merely carries its name.
TEST_F(MidiOutput, ABackendNamedLikeTheLoopbackIsNotTreatedAsIt) {
    auto impostor = std::make_unique<FakeBackend>("virtual");
    FakeBackend* fake = impostor.get();
    std::vector<std::unique_ptr<MidiBackend>> backends;
    backends.push_back(std::move(impostor));
    MidiService::restartWith(std::move(backends));
    HMIDIOUT out = open(0);
    EXPECT_EQ(midiOutShortMsg(out, 0x403C90), MMSYSERR_NOERROR);
    EXPECT_EQ(fake->sent().size(), 1u);
    uint8_t bytes[8];
    EXPECT_EQ(vmidiTake(0, bytes, sizeof bytes), 0u);
    EXPECT_EQ(vmidiTake(MIDI_MAPPER, bytes, sizeof bytes), 0u);
    EXPECT_EQ(vmidiAddCable("Extra"), 0);
    EXPECT_EQ(midiOutGetNumDevs(), 1u);
    midiOutClose(out);
}

TEST_F(MidiOutput, WithNoOutputsTheMapperCannotOpen) {
    setenv("CORVEX_LOOPBACKS", "0", 1);
    MidiService::restartFromEnvironment();
    unsetenv("CORVEX_LOOPBACKS");
    EXPECT_EQ(midiOutGetNumDevs(), 0u);
    HMIDIOUT out = nullptr;
    EXPECT_EQ(midiOutOpen(&out, MIDI_MAPPER, 0, 0, 0), MIDIERR_NODEVICE);
    EXPECT_EQ(out, nullptr);
}

TEST_F(MidiOutput, DeviceListsCapsAndNames) {
    EXPECT_EQ(midiInGetNumDevs(), 4u);
    EXPECT_EQ(midiOutGetNumDevs(), 4u);
    MIDIINCAPS in{};
    ASSERT_EQ(midiInGetDevCaps(3, &in, sizeof in), MMSYSERR_NOERROR);
    EXPECT_STREQ(in.szPname, "Corvex Loopback 4");
    MIDIOUTCAPS out{};
    ASSERT_EQ(midiOutGetDevCaps(0, &out, sizeof out), MMSYSERR_NOERROR);
    EXPECT_STREQ(out.szPname, "Corvex Loopback 1");
    EXPECT_EQ(out.wTechnology, MOD_MIDIPORT);
    EXPECT_EQ(midiInGetDevCaps(4, &in, sizeof in), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(midiOutGetDevCaps(0, nullptr, sizeof out), MMSYSERR_INVALPARAM);
    // A handle names its device too.
    HMIDIOUT handle = nullptr;
    midiOutOpen(&handle, 2, 0, 0, 0);
    ASSERT_EQ(midiOutGetDevCaps(reinterpret_cast<UINT_PTR>(handle), &out, sizeof out),
              MMSYSERR_NOERROR);
    EXPECT_STREQ(out.szPname, "Corvex Loopback 3");
    midiOutClose(handle);
    // Names longer than szPname are cut there and given whole by cvxMidi*GetName.
    std::string longName = "A very long client name:with a port name past 31";
    ASSERT_EQ(vmidiAddCable(longName.c_str()), 1);
    ASSERT_EQ(midiInGetDevCaps(4, &in, sizeof in), MMSYSERR_NOERROR);
    EXPECT_EQ(std::string(in.szPname), longName.substr(0, 31));
    char name[128];
    EXPECT_EQ(cvxMidiInGetName(4, name, sizeof name), MMSYSERR_NOERROR);
    EXPECT_EQ(name, longName);
    EXPECT_EQ(cvxMidiOutGetName(4, name, 8), MMSYSERR_NOERROR);
    EXPECT_STREQ(name, "A very ");
    EXPECT_EQ(cvxMidiOutGetName(MIDI_MAPPER, name, sizeof name), MMSYSERR_NOERROR);
    EXPECT_STREQ(name, "MIDI Mapper");
    EXPECT_EQ(cvxMidiInGetName(9, name, sizeof name), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(cvxMidiInGetBackend(0, name, sizeof name), MMSYSERR_NOERROR);
    EXPECT_STREQ(name, "virtual");
}

TEST_F(MidiOutput, OpenErrors) {
    HMIDIIN in = nullptr;
    EXPECT_EQ(midiInOpen(nullptr, 0, 0, 0, 0), MMSYSERR_INVALPARAM);
    EXPECT_EQ(midiInOpen(&in, 4, 0, 0, 0), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(midiInOpen(&in, MIDI_MAPPER, 0, 0, 0), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(midiInOpen(&in, 0, 0, 0, CALLBACK_FUNCTION), MMSYSERR_INVALPARAM);
    EXPECT_EQ(midiInOpen(&in, 0, 0, 0, 0x00010000u), MMSYSERR_INVALFLAG);
    ASSERT_EQ(midiInOpen(&in, 0, 0, 0, 0), MMSYSERR_NOERROR);
    HMIDIIN again = nullptr;
    EXPECT_EQ(midiInOpen(&again, 0, 0, 0, 0), MMSYSERR_ALLOCATED);
    EXPECT_EQ(again, nullptr);
    HMIDIOUT a = nullptr;
    HMIDIOUT b = nullptr;
    EXPECT_EQ(midiOutOpen(&a, 0, 0, 0, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(midiOutOpen(&b, 0, 0, 0, 0), MMSYSERR_NOERROR); // outputs may be shared
    EXPECT_NE(a, b);
    midiOutClose(a);
    midiOutShortMsg(b, 0xF8); // the device stays open for the other handle
    EXPECT_EQ(takeAll(0), std::vector<uint8_t>{0xF8});
    midiOutClose(b);
    midiInClose(in);
}

TEST_F(MidiOutput, FailOpenMakesExactlyTheNextOpenFail) {
    vmidiFailOpen(1, 0, MMSYSERR_ALLOCATED);
    vmidiFailOpen(2, 1, MMSYSERR_NOMEM);
    vmidiFailOpen(MIDI_MAPPER, 1, MMSYSERR_ERROR);
    HMIDIIN in = nullptr;
    HMIDIOUT out = nullptr;
    EXPECT_EQ(midiInOpen(&in, 0, 0, 0, 0), MMSYSERR_NOERROR); // another device
    midiInClose(in);
    EXPECT_EQ(midiOutOpen(&out, 1, 0, 0, 0), MMSYSERR_NOERROR); // the input's number
    midiOutClose(out);
    EXPECT_EQ(midiInOpen(&in, 1, 0, 0, 0), MMSYSERR_ALLOCATED);
    EXPECT_EQ(midiInOpen(&in, 1, 0, 0, 0), MMSYSERR_NOERROR);
    midiInClose(in);
    EXPECT_EQ(midiOutOpen(&out, 2, 0, 0, 0), MMSYSERR_NOMEM);
    EXPECT_EQ(midiOutOpen(&out, MIDI_MAPPER, 0, 0, 0), MMSYSERR_ERROR);
    EXPECT_EQ(midiOutOpen(&out, MIDI_MAPPER, 0, 0, 0), MMSYSERR_NOERROR);
    midiOutClose(out);
    vmidiFailOpen(3, 1, MMSYSERR_NOMEM);
    vmidiFailOpen(3, 1, 0); // cancelled
    EXPECT_EQ(midiOutOpen(&out, 3, 0, 0, 0), MMSYSERR_NOERROR);
    midiOutClose(out);
}

TEST_F(MidiOutput, InvalidHandlesAreRefusedWithoutTouchingMemory) {
    const auto forgedIn = reinterpret_cast<HMIDIIN>(uintptr_t{0xDEADBEEF});
    const auto forgedOut = reinterpret_cast<HMIDIOUT>(uintptr_t{0x0000000300000002});
    HMIDIIN closedIn = nullptr;
    HMIDIOUT closedOut = nullptr;
    midiInOpen(&closedIn, 0, 0, 0, 0);
    midiInClose(closedIn);
    midiOutOpen(&closedOut, 0, 0, 0, 0);
    midiOutClose(closedOut);
    MIDIHDR h{};
    UINT id = 0;
    for (HMIDIIN in : {static_cast<HMIDIIN>(nullptr), forgedIn, closedIn}) {
        EXPECT_EQ(midiInClose(in), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(midiInStart(in), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(midiInStop(in), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(midiInReset(in), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(midiInPrepareHeader(in, &h, sizeof h), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(midiInUnprepareHeader(in, &h, sizeof h), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(midiInAddBuffer(in, &h, sizeof h), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(midiInGetID(in, &id), MMSYSERR_INVALHANDLE);
    }
    for (HMIDIOUT out : {static_cast<HMIDIOUT>(nullptr), forgedOut, closedOut}) {
        EXPECT_EQ(midiOutClose(out), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(midiOutShortMsg(out, 0x403C90), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(midiOutLongMsg(out, &h, sizeof h), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(midiOutPrepareHeader(out, &h, sizeof h), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(midiOutUnprepareHeader(out, &h, sizeof h), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(midiOutReset(out), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(midiOutGetID(out, &id), MMSYSERR_INVALHANDLE);
    }
    HMIDIOUT reopened = nullptr;
    midiOutOpen(&reopened, 0, 0, 0, 0);
    EXPECT_NE(reopened, closedOut); // same slot, new generation
    EXPECT_EQ(midiOutShortMsg(closedOut, 0xF8), MMSYSERR_INVALHANDLE);
    midiOutClose(reopened);
}

TEST_F(MidiOutput, ErrorTexts) {
    char text[MAXERRORLENGTH];
    for (MMRESULT code : {0u, 1u, 2u, 4u, 5u, 6u, 7u, 11u, 21u, 64u, 65u, 68u, 71u}) {
        EXPECT_EQ(midiInGetErrorText(code, text, sizeof text), MMSYSERR_NOERROR) << code;
        EXPECT_GT(std::strlen(text), 10u) << code;
        char same[MAXERRORLENGTH];
        EXPECT_EQ(midiOutGetErrorText(code, same, sizeof same), MMSYSERR_NOERROR);
        EXPECT_STREQ(text, same);
    }
    midiOutGetErrorText(MMSYSERR_INVALHANDLE, text, sizeof text);
    EXPECT_STREQ(text, "The specified device handle is invalid.");
    EXPECT_EQ(midiOutGetErrorText(30, text, sizeof text), MMSYSERR_BADERRNUM);
    EXPECT_EQ(midiOutGetErrorText(72, text, sizeof text), MMSYSERR_BADERRNUM);
    EXPECT_EQ(midiOutGetErrorText(5, nullptr, 10), MMSYSERR_INVALPARAM);
    EXPECT_EQ(midiOutGetErrorText(5, text, 0), MMSYSERR_INVALPARAM);
    EXPECT_EQ(midiOutGetErrorText(5, text, 5), MMSYSERR_NOERROR);
    EXPECT_STREQ(text, "The ");
}

} // namespace
} // namespace cvx::platform::testing
