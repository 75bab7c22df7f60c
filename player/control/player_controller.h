// The player's logic behind its window: the open file, the state (no file, ready, playing,
// paused) with its button states, the transport commands, hold-to-seek, repeat, the end of
// play, dropped files (the last dropped plays first), hand-offs from later starts and the
// output port. The sequencer plays; the view shows.
//
// User-interface thread only. The sequencer's end notifier (given by the window) runs on
// the timer thread; the window answers it by calling endOfPlay() on its own thread.
#pragma once

#include "button_states.h"
#include "handoff_block.h"
#include "player_view.h"
#include "seek_stepper.h"
#include "sequencer/sequencer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace corvex {

inline constexpr char kPlayerCaption[] = "Tunelet";

class PlayerController {
public:
    PlayerController(PlayerView& view, Sequencer::EndNotifier notifier, void* user);

    // Closes any open file, then opens `path`: "ready" on success, else "no file" with the
    // reason in an error box. A file that was cut short opens, with a box that says so.
    bool openFile(const std::string& path);
    void closeFile();

    void play();
    void pauseOrResume();
    void stop();
    void toStart();
    void toEnd();
    void toggleRepeat() { repeat_ = !repeat_; }
    bool repeat() const { return repeat_; }

    // Rewind and Forward held down and let go; presses of disabled buttons do nothing.
    void pressSeek(SeekStepper::Direction direction);
    void releaseSeek();
    // The 1-second timer; it also reports messages the output refused.
    void timerTick();
    // The file played to its end.
    void endOfPlay();

    // Files dropped on the window, in the order they were dropped.
    void dropFiles(std::vector<std::string> paths);
    void receiveHandOff(const PlayerHandOff& handoff);

    // kMapperChoice or a device index. With a file open, playing stops first (as by Stop);
    // when the port cannot be opened, the previous one stays and an error box says why.
    bool choosePort(int choice);
    int port() const { return port_; }

    PlayerState state() const { return state_; }
    const ButtonStates& buttons() const { return buttons_; }
    bool fileOpen() const { return state_ != PlayerState::NoFile; }
    const std::string& filePath() const { return path_; }
    std::string title() const;
    const Sequencer& sequencer() const { return sequencer_; }

private:
    void enter(PlayerState state);
    void setButtons(const ButtonStates& states);
    void showPosition(int64_t ms);
    bool openPort();
    void playNextDrop();
    void portError(MMRESULT error);
    // Messages the output refused since the last report go into an error box.
    void reportFailedSends();

    PlayerView& view_;
    Sequencer sequencer_;
    PlayerState state_ = PlayerState::NoFile;
    ButtonStates buttons_;
    SeekStepper stepper_;
    std::string path_;
    std::vector<std::string> pendingDrops_;
    int port_ = -1;
    bool repeat_ = false;
    uint64_t reportedFailures_ = 0;
};

} // namespace corvex
