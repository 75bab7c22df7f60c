#include "output_ports.h"
#include "player_controller.h"
#include "smf_bytes.h"
#include "vmidi.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>

namespace corvex {
namespace {

using namespace smf::test;
using Direction = SeekStepper::Direction;

class RecordingView : public PlayerView {
public:
    void showTitle(const std::string& text) override { titles.push_back(text); }
    void showButtons(const ButtonStates& states) override { buttons = states; }
    void showPosition(const std::string& text) override { position = text; }
    void showLength(const std::string& text) override { length = text; }
    void errorBox(const std::string& message) override { errors.push_back(message); }

    std::vector<std::string> titles;
    ButtonStates buttons;
    std::string position;
    std::string length;
    std::vector<std::string> errors;
};

// A file of `lengthMs` milliseconds (one tick is one millisecond) whose only event is a Note
// On of `key` at the start and its Note Off at the end.
std::string writeSong(const std::string& name, int64_t lengthMs, uint8_t key = 60) {
    std::string path = std::string(std::getenv("HOME")) + "/" + name;
    Bytes bytes =
        file({header(0, 1, 1000),
              track({tempo(0, 1000000), event(0, {0x90, key, 100}),
                     event(static_cast<uint32_t>(lengthMs), {0x80, key, 0}), endOfTrack()})});
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

Bytes take() {
    Bytes out(65536);
    out.resize(vmidiTake(0, out.data(), static_cast<unsigned>(out.size())));
    return out;
}

class PlayerControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        cvxClockManual(1);
        controller.choosePort(0);
    }
    void TearDown() override {
        controller.closeFile();
        cvxClockManual(0);
    }
    // Advances the clock and delivers the end notice as the window does.
    void advance(uint32_t ms) {
        cvxClockAdvance(ms);
        if (ended.exchange(false)) {
            controller.endOfPlay();
        }
    }
    static void onEnd(void* user) { static_cast<PlayerControllerTest*>(user)->ended = true; }

    std::atomic<bool> ended{false};
    RecordingView view;
    PlayerController controller{view, &PlayerControllerTest::onEnd, this};
};

TEST_F(PlayerControllerTest, OpenPlayPauseStopMoveThroughTheStates) {
    ASSERT_TRUE(controller.openFile(writeSong("one.mid", 90000)));
    EXPECT_EQ(controller.state(), PlayerState::Ready);
    EXPECT_EQ(view.titles.back(), "Tunelet: one.mid");
    EXPECT_EQ(view.length, "01 : 30");
    EXPECT_TRUE(view.buttons.isEnabled(kPlayButton));
    EXPECT_FALSE(view.buttons.isEnabled(kStopButton));

    controller.play();
    EXPECT_EQ(controller.state(), PlayerState::Playing);
    EXPECT_FALSE(view.buttons.isEnabled(kPlayButton));
    advance(2000);
    controller.timerTick();
    EXPECT_EQ(view.position, "00 : 02");

    controller.pauseOrResume();
    EXPECT_EQ(controller.state(), PlayerState::Paused);
    EXPECT_TRUE(view.buttons.pauseChecked);
    EXPECT_TRUE(view.buttons.isEnabled(kPlayButton));
    controller.play(); // Play resumes a pause
    EXPECT_EQ(controller.state(), PlayerState::Playing);
    EXPECT_FALSE(view.buttons.pauseChecked);

    controller.stop();
    EXPECT_EQ(controller.state(), PlayerState::Ready);
    EXPECT_EQ(view.position, "00 : 00");
    controller.closeFile();
    EXPECT_EQ(controller.state(), PlayerState::NoFile);
    EXPECT_EQ(view.titles.back(), "Tunelet");
    EXPECT_TRUE(view.errors.empty());
}

TEST_F(PlayerControllerTest, AFileThatCannotBeReadLeavesNoFileAndSaysWhy) {
    ASSERT_TRUE(controller.openFile(writeSong("good.mid", 1000)));
    std::string bad = std::string(std::getenv("HOME")) + "/bad.mid";
    std::ofstream(bad) << "not midi at all";
    EXPECT_FALSE(controller.openFile(bad));
    EXPECT_EQ(controller.state(), PlayerState::NoFile);
    ASSERT_EQ(view.errors.size(), 1u);
    EXPECT_NE(view.errors[0].find("not a MIDI file"), std::string::npos);
}

TEST_F(PlayerControllerTest, EndOfPlayRewindsOrRepeats) {
    controller.openFile(writeSong("short.mid", 100));
    controller.play();
    advance(100);
    EXPECT_EQ(controller.state(), PlayerState::Ready);
    EXPECT_EQ(controller.sequencer().positionMs(), 0);

    controller.toggleRepeat();
    controller.play();
    ButtonStates before = view.buttons;
    take();
    advance(100);
    EXPECT_EQ(controller.state(), PlayerState::Playing);
    EXPECT_EQ(view.buttons, before);
    EXPECT_EQ(take(), (Bytes{0x80, 60, 0, 0x90, 60, 100})); // ended, then from the start
}

TEST_F(PlayerControllerTest, DroppedFilesPlayLastFirst) {
    std::vector<std::string> drop = {writeSong("first.mid", 50, 61),
                                     writeSong("second.mid", 50, 62),
                                     writeSong("third.mid", 50, 63)};
    take();
    controller.dropFiles(drop);
    EXPECT_EQ(controller.state(), PlayerState::Playing);
    EXPECT_EQ(view.titles.back(), "Tunelet: third.mid");
    advance(50);
    EXPECT_EQ(view.titles.back(), "Tunelet: second.mid");
    advance(50);
    EXPECT_EQ(view.titles.back(), "Tunelet: first.mid");
    advance(50);
    EXPECT_EQ(controller.state(), PlayerState::Ready);
    EXPECT_EQ(take(), (Bytes{0x90, 63, 100, 0x80, 63, 0, 0x90, 62, 100, 0x80, 62, 0, 0x90, 61, 100,
                             0x80, 61, 0}));
}

TEST_F(PlayerControllerTest, ADroppedFileThatFailsForgetsTheRest) {
    std::string missing = std::string(std::getenv("HOME")) + "/missing.mid";
    controller.dropFiles({writeSong("kept.mid", 50), missing});
    EXPECT_EQ(controller.state(), PlayerState::NoFile);
    EXPECT_EQ(view.errors.size(), 1u);
    advance(100);
    EXPECT_EQ(controller.state(), PlayerState::NoFile);
}

TEST_F(PlayerControllerTest, HoldToSeekMovesOnRelease) {
    controller.openFile(writeSong("long.mid", 600000));
    controller.pressSeek(Direction::Back); // disabled when ready at the start
    EXPECT_EQ(view.position, "00 : 00");
    controller.pressSeek(Direction::Forward);
    EXPECT_EQ(view.position, "00 : 10");
    controller.timerTick();
    controller.timerTick();
    EXPECT_EQ(view.position, "00 : 20");
    EXPECT_EQ(controller.sequencer().positionMs(), 0); // nothing moves before the release
    controller.releaseSeek();
    EXPECT_EQ(controller.sequencer().positionMs(), 20000);
    EXPECT_TRUE(view.buttons.isEnabled(kRewindButton));

    controller.play();
    controller.pressSeek(Direction::Back);
    controller.releaseSeek();
    EXPECT_TRUE(controller.sequencer().playing());
    EXPECT_EQ(controller.sequencer().positionMs(), 10000);
}

TEST_F(PlayerControllerTest, HandOffReplacesTheFileAndPlaysForThePlayCommand) {
    controller.openFile(writeSong("old.mid", 1000));
    controller.receiveHandOff({kHandOffOpen, writeSong("opened.mid", 1000)});
    EXPECT_EQ(view.titles.back(), "Tunelet: opened.mid");
    EXPECT_EQ(controller.state(), PlayerState::Ready);
    controller.receiveHandOff({kHandOffPlay, writeSong("played.mid", 1000)});
    EXPECT_EQ(controller.state(), PlayerState::Playing);
}

TEST_F(PlayerControllerTest, ChoosingAPortStopsPlayingAndKeepsTheOldPortOnFailure) {
    controller.openFile(writeSong("port.mid", 1000));
    controller.play();
    EXPECT_TRUE(controller.choosePort(1));
    EXPECT_EQ(controller.state(), PlayerState::Ready);
    EXPECT_EQ(controller.port(), 1);
    vmidiFailOpen(2, 1, MMSYSERR_ALLOCATED);
    EXPECT_FALSE(controller.choosePort(2));
    EXPECT_EQ(controller.port(), 1);
    EXPECT_EQ(view.errors.size(), 1u);
}

// A file cut short plays the events before the cut and says so; messages the output
// refuses (its device went away) are counted and reported once each second, not lost
// silently.
TEST_F(PlayerControllerTest, ACutFileSaysSoAndRefusedMessagesAreReported) {
    Bytes whole = file({header(0, 1, 1000), track({tempo(0, 1000000), event(0, {0x90, 61, 100}),
                                                   event(500, {0x80, 61, 0}), endOfTrack()})});
    std::string path = std::string(std::getenv("HOME")) + "/cut.mid";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(whole.data()), long(whole.size()) - 3);
    ASSERT_TRUE(controller.openFile(path));
    ASSERT_EQ(view.errors.size(), 1u);
    EXPECT_NE(view.errors[0].find("cut short"), std::string::npos) << view.errors[0];
    controller.play();
    EXPECT_EQ(take(), (Bytes{0x90, 61, 100}));

    ASSERT_EQ(vmidiAddCable("Going Away"), 1);
    std::vector<std::string> names = outputDeviceNames();
    int cable = resolveStoredPort(names, "Going Away");
    ASSERT_NE(cable, kMapperChoice);
    ASSERT_TRUE(controller.choosePort(cable));
    controller.play();
    ASSERT_EQ(vmidiRemoveCable("Going Away"), 1);
    advance(600); // the Note Off goes nowhere
    controller.timerTick();
    ASSERT_EQ(view.errors.size(), 2u);
    EXPECT_NE(view.errors[1].find("could not be sent"), std::string::npos) << view.errors[1];
    controller.timerTick();
    EXPECT_EQ(view.errors.size(), 2u) << "each refusal is reported once";
}

} // namespace
} // namespace corvex
