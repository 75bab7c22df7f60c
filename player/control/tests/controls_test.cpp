#include "button_states.h"
#include "output_ports.h"
#include "seek_stepper.h"
#include "time_text.h"

#include <gtest/gtest.h>

namespace corvex {
namespace {

std::vector<int> enabledTransport(const ButtonStates& states) {
    std::vector<int> ids;
    for (int id = kPlayButton; id <= kToEndButton; ++id) {
        if (states.isEnabled(id)) {
            ids.push_back(id);
        }
    }
    return ids;
}

TEST(ButtonStates, FollowTheStateTable) {
    ButtonStates none = buttonStatesFor(PlayerState::NoFile, {});
    EXPECT_TRUE(enabledTransport(none).empty());
    EXPECT_TRUE(none.isEnabled(kRepeatButton) && none.isEnabled(kPortButton) &&
                none.isEnabled(kOpenButton));

    ButtonStates ready = buttonStatesFor(PlayerState::Ready, none);
    EXPECT_EQ(enabledTransport(ready),
              (std::vector<int>{kPlayButton, kForwardButton, kToStartButton, kToEndButton}));

    ButtonStates playing = buttonStatesFor(PlayerState::Playing, ready);
    EXPECT_EQ(enabledTransport(playing),
              (std::vector<int>{kPauseButton, kStopButton, kRewindButton, kForwardButton,
                                kToStartButton, kToEndButton}));
    EXPECT_FALSE(playing.pauseChecked);
    ButtonStates fromNone = buttonStatesFor(PlayerState::Playing, none); // To start/end unchanged
    EXPECT_FALSE(fromNone.isEnabled(kToStartButton));

    ButtonStates paused = buttonStatesFor(PlayerState::Paused, playing);
    EXPECT_TRUE(paused.isEnabled(kPlayButton));
    EXPECT_TRUE(paused.pauseChecked);
    EXPECT_FALSE(buttonStatesFor(PlayerState::Ready, paused).pauseChecked);
}

TEST(SeekStepper, MovesTenSecondsAtThePressThenSixTimesTenThenSixty) {
    SeekStepper stepper;
    stepper.press(SeekStepper::Direction::Forward, 5000, 3600000);
    EXPECT_EQ(stepper.targetMs(), 15000); // at the press
    EXPECT_EQ(stepper.tick(), 15000);     // the first tick moves nothing
    std::vector<int64_t> targets;
    for (int i = 0; i < 9; ++i) {
        targets.push_back(stepper.tick());
    }
    EXPECT_EQ(targets, (std::vector<int64_t>{25000, 35000, 45000, 55000, 65000, 75000, 135000,
                                             195000, 255000}));
    auto release = stepper.release();
    EXPECT_EQ(release.seekTo, 255000);
    EXPECT_TRUE(release.rewindEnabled);
    EXPECT_TRUE(release.forwardEnabled);

    stepper.press(SeekStepper::Direction::Forward, 255000, 3600000); // every press starts afresh
    stepper.tick();
    EXPECT_EQ(stepper.tick(), 275000);
}

TEST(SeekStepper, StaysWithinTheFileAndSaysWhichWayCanStillMove) {
    SeekStepper stepper;
    stepper.press(SeekStepper::Direction::Forward, 50000, 55000);
    EXPECT_EQ(stepper.targetMs(), 55000);
    auto atEnd = stepper.release();
    EXPECT_EQ(atEnd.seekTo, 55000);
    EXPECT_TRUE(atEnd.rewindEnabled);
    EXPECT_FALSE(atEnd.forwardEnabled);

    stepper.press(SeekStepper::Direction::Back, 4000, 55000);
    EXPECT_EQ(stepper.targetMs(), 0);
    auto atStart = stepper.release();
    EXPECT_FALSE(atStart.rewindEnabled);
    EXPECT_TRUE(atStart.forwardEnabled);

    stepper.press(SeekStepper::Direction::Back, 0, 55000);
    EXPECT_FALSE(stepper.release().seekTo); // the target is where the press started
    EXPECT_FALSE(stepper.release().seekTo); // a release without a press does nothing
}

TEST(TimeText, MinutesAndSeconds) {
    EXPECT_EQ(timeText(0), "00 : 00");
    EXPECT_EQ(timeText(59999), "00 : 59");
    EXPECT_EQ(timeText(61000), "01 : 01");
    EXPECT_EQ(timeText(6000000), "100 : 00");
}

TEST(OutputPorts, AStoredNameFindsItsDeviceOrTheMapper) {
    std::vector<std::string> names = {"Corvex Loopback 1",
                                      "Synth Client With A Long Name:Synth Port Number 1"};
    EXPECT_EQ(resolveStoredPort(names, ""), kMapperChoice);
    EXPECT_EQ(resolveStoredPort(names, "corvex LOOPBACK 1"), 0);
    EXPECT_EQ(resolveStoredPort(names, "Gone Device"), kMapperChoice);
    std::string stored = storedPortName(names, 1);
    EXPECT_EQ(stored.size(), kStoredPortNameChars);
    EXPECT_EQ(resolveStoredPort(names, stored), 1);
    EXPECT_EQ(storedPortName(names, kMapperChoice), "");
}

} // namespace
} // namespace corvex
