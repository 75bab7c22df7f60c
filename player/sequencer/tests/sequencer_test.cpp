#include "sequencer/sequencer.h"
#include "smf/smf_reader.h"
#include "smf_bytes.h"
#include "vmidi.h"

#include <gtest/gtest.h>

#include <atomic>

namespace corvex {
namespace {

using namespace smf::test;

constexpr unsigned kCable1 = 0;
constexpr unsigned kCable2 = 1;

// 1000 ticks per quarter at 1,000,000 microseconds per quarter: one tick is one millisecond.
std::shared_ptr<const smf::PlayList> playList(std::initializer_list<Bytes> events) {
    Bytes body = tempo(0, 1000000);
    for (const Bytes& e : events) {
        append(body, e);
    }
    Bytes bytes = file({header(0, 1, 1000), chunk("MTrk", body)});
    return std::make_shared<const smf::PlayList>(smf::PlayList::fromFile(smf::readMidiFile(bytes)));
}

Bytes operator+(Bytes first, const Bytes& second) {
    append(first, second);
    return first;
}

Bytes take(unsigned cable) {
    Bytes out(65536);
    out.resize(vmidiTake(cable, out.data(), static_cast<unsigned>(out.size())));
    return out;
}

class SequencerTest : public ::testing::Test {
protected:
    void SetUp() override {
        cvxClockManual(1);
        ASSERT_EQ(sequencer.openPort(kCable1), MMSYSERR_NOERROR);
        take(kCable1);
        take(kCable2);
    }
    void TearDown() override {
        sequencer.closePort();
        cvxClockManual(0);
    }
    static void onEnd(void* user) { ++static_cast<SequencerTest*>(user)->ends; }

    std::atomic<int> ends{0};
    Sequencer sequencer{&SequencerTest::onEnd, this};
};

TEST_F(SequencerTest, SendsEachEventOnTheTickNearestItsTime) {
    sequencer.load(playList({event(0, {0x90, 60, 100}), event(10, {0x90, 62, 100}),
                             event(0, {0xF0, 0x02, 0x7E, 0xF7}), event(240, {0x80, 60, 0}),
                             event(0, {0x80, 62, 0}), endOfTrack(750)}));
    EXPECT_EQ(sequencer.lengthMs(), 1000);
    ASSERT_EQ(sequencer.play(), MMSYSERR_NOERROR);
    EXPECT_EQ(take(kCable1), (Bytes{0x90, 60, 100})); // due at once
    cvxClockAdvance(9);
    EXPECT_TRUE(take(kCable1).empty());
    cvxClockAdvance(1);
    EXPECT_EQ(take(kCable1), (Bytes{0x90, 62, 100, 0xF0, 0x7E, 0xF7}));
    cvxClockAdvance(239);
    EXPECT_TRUE(take(kCable1).empty());
    cvxClockAdvance(1);
    EXPECT_EQ(take(kCable1), (Bytes{0x80, 60, 0, 0x80, 62, 0}));
    EXPECT_EQ(sequencer.positionMs(), 250);
    EXPECT_EQ(ends.load(), 0);
    cvxClockAdvance(749);
    EXPECT_TRUE(sequencer.playing());
    cvxClockAdvance(1);
    EXPECT_FALSE(sequencer.playing());
    EXPECT_EQ(ends.load(), 1);
    EXPECT_EQ(sequencer.positionMs(), 1000);
    cvxClockAdvance(100);
    EXPECT_EQ(ends.load(), 1);
}

TEST_F(SequencerTest, NotesStillSoundingAtTheEndAreEnded) {
    sequencer.load(playList({event(0, {0x90, 60, 100}), event(0, {0xB0, 64, 127}), endOfTrack(5)}));
    sequencer.play();
    cvxClockAdvance(5);
    EXPECT_EQ(ends.load(), 1);
    EXPECT_EQ(take(kCable1), (Bytes{0xB0, 121, 0, 0xB0, 64, 0, // reset before playing
                                    0x90, 60, 100, 0xB0, 64, 127, 0x80, 60, 0, 0xB0, 64, 0}));
}

TEST_F(SequencerTest, PauseEndsHangingNotesAndResumeChasesWithoutRepeats) {
    sequencer.load(
        playList({event(0, {0xC0, 5}), event(0, {0x90, 60, 100}), event(0, {0xB0, 64, 127}),
                  event(100, {0x90, 64, 90}), event(100, {0x80, 60, 0}), endOfTrack(100)}));
    sequencer.play();
    cvxClockAdvance(50);
    take(kCable1);
    sequencer.pause();
    EXPECT_FALSE(sequencer.playing());
    EXPECT_EQ(sequencer.positionMs(), 50);
    EXPECT_EQ(take(kCable1), (Bytes{0x80, 60, 0, 0xB0, 64, 0}));
    cvxClockAdvance(1000); // paused: time passes, nothing moves
    EXPECT_EQ(sequencer.positionMs(), 50);
    EXPECT_TRUE(take(kCable1).empty());
    sequencer.play();
    EXPECT_EQ(take(kCable1), (Bytes{0xC0, 5, 0xB0, 64, 127}));
    cvxClockAdvance(50);
    EXPECT_EQ(take(kCable1), (Bytes{0x90, 64, 90}));
}

TEST_F(SequencerTest, SeekChasesTheStateAtTheTargetAndPlaysOnFromThere) {
    sequencer.load(
        playList({event(0, {0xB3, 0, 2}), event(0, {0xC3, 17}), event(0, {0x93, 40, 100}),
                  event(500, {0xB3, 7, 80}), event(0, {0xE3, 0, 0x30}), event(500, {0x83, 40, 0}),
                  event(0, {0x93, 41, 100}), event(500, {0x83, 41, 0}), endOfTrack()}));
    sequencer.play();
    cvxClockAdvance(100);
    take(kCable1);
    sequencer.seek(1000);
    EXPECT_TRUE(sequencer.playing());
    EXPECT_EQ(take(kCable1), (Bytes{0x83, 40, 0,                              // hanging note ended
                                    0xB3, 0,  2,    0xC3, 17, 0xB3, 7,    80, // chase
                                    0xE3, 0,  0x30, 0x83, 40, 0,    0x93, 41, 100})); // due at 1000
    cvxClockAdvance(500);
    EXPECT_EQ(take(kCable1), (Bytes{0x83, 41, 0}));
    EXPECT_EQ(ends.load(), 1);

    sequencer.seek(0); // back to the start while stopped: nothing to chase, nothing sent
    EXPECT_FALSE(sequencer.playing());
    EXPECT_EQ(sequencer.positionMs(), 0);
    EXPECT_TRUE(take(kCable1).empty());
    sequencer.seek(99999);
    EXPECT_EQ(sequencer.positionMs(), 1500);
}

// A bend and a held pedal from later in the file do not stay in force after going back:
// To start, Stop then Play, and Repeat all play from a reset start.
TEST_F(SequencerTest, GoingBackResetsWhatTheFileSetLaterBeforeChasing) {
    sequencer.load(
        playList({event(0, {0xC4, 3}), event(0, {0x94, 50, 100}), event(100, {0xE4, 0, 0x70}),
                  event(0, {0xB4, 64, 127}), event(100, {0x84, 50, 0}), endOfTrack(100)}));
    const Bytes reset = {0xB4, 121, 0, 0xB4, 64, 0, 0xE4, 0, 0x40};
    const Bytes start = {0xC4, 3, 0x94, 50, 100};
    ASSERT_EQ(sequencer.play(), MMSYSERR_NOERROR);
    EXPECT_EQ(take(kCable1), reset + start);
    cvxClockAdvance(150);
    take(kCable1);
    sequencer.seek(0);
    EXPECT_EQ(take(kCable1), (Bytes{0x84, 50, 0, 0xB4, 64, 0} + reset + start));
    cvxClockAdvance(150);
    sequencer.stop();
    take(kCable1);
    sequencer.play();
    EXPECT_EQ(take(kCable1), reset + start);
}

TEST_F(SequencerTest, StopEndsNotesAndReturnsToTheStart) {
    sequencer.load(playList({event(0, {0x9F, 36, 100}), endOfTrack(1000)}));
    sequencer.play();
    cvxClockAdvance(10);
    take(kCable1);
    sequencer.stop();
    EXPECT_EQ(take(kCable1), (Bytes{0x8F, 36, 0}));
    EXPECT_EQ(sequencer.positionMs(), 0);
    sequencer.play();
    EXPECT_EQ(take(kCable1), (Bytes{0x9F, 36, 100})); // from the start: no chase
}

TEST_F(SequencerTest, ChangingThePortWhilePlayingMovesPlayingToTheNewPort) {
    sequencer.load(playList({event(0, {0xC0, 3}), event(0, {0x90, 60, 100}),
                             event(100, {0x80, 60, 0}), endOfTrack(100)}));
    sequencer.play();
    cvxClockAdvance(50);
    take(kCable1);
    ASSERT_EQ(sequencer.openPort(kCable2), MMSYSERR_NOERROR);
    EXPECT_EQ(sequencer.port(), static_cast<int>(kCable2));
    EXPECT_TRUE(sequencer.playing());
    EXPECT_EQ(take(kCable1), (Bytes{0x80, 60, 0}));
    EXPECT_EQ(take(kCable2), (Bytes{0xC0, 3}));
    cvxClockAdvance(50);
    EXPECT_EQ(take(kCable2), (Bytes{0x80, 60, 0}));
    EXPECT_TRUE(take(kCable1).empty());
}

TEST_F(SequencerTest, AFailedPortChangeKeepsThePreviousPort) {
    sequencer.load(playList({event(10, {0x90, 60, 100}), endOfTrack(100)}));
    sequencer.play();
    vmidiFailOpen(kCable2, 1, MMSYSERR_ALLOCATED);
    EXPECT_EQ(sequencer.openPort(kCable2), static_cast<MMRESULT>(MMSYSERR_ALLOCATED));
    EXPECT_EQ(sequencer.port(), static_cast<int>(kCable1));
    EXPECT_TRUE(sequencer.playing());
    cvxClockAdvance(10);
    EXPECT_EQ(take(kCable1), (Bytes{0x90, 60, 100}));
}

TEST_F(SequencerTest, PlayNeedsAFileAndAPort) {
    EXPECT_EQ(sequencer.play(), static_cast<MMRESULT>(MMSYSERR_INVALHANDLE));
    sequencer.load(playList({endOfTrack(10)}));
    sequencer.closePort();
    EXPECT_EQ(sequencer.play(), static_cast<MMRESULT>(MMSYSERR_INVALHANDLE));
    EXPECT_FALSE(sequencer.playing());
}

} // namespace
} // namespace corvex
