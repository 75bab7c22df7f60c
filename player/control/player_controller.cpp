#include "player_controller.h"

#include "smf/smf_reader.h"
#include "time_text.h"

#include <filesystem>

namespace corvex {
namespace {

std::string errorText(MMRESULT error) {
    char text[MAXERRORLENGTH] = {};
    midiOutGetErrorText(error, text, sizeof text);
    return text[0] != '\0' ? text : "MIDI error " + std::to_string(error);
}

} // namespace

PlayerController::PlayerController(PlayerView& view, Sequencer::EndNotifier notifier, void* user)
    : view_(view), sequencer_(notifier, user) {
    buttons_ = buttonStatesFor(PlayerState::NoFile, buttons_);
}

std::string PlayerController::title() const {
    if (!fileOpen()) {
        return kPlayerCaption;
    }
    return std::string(kPlayerCaption) + ": " + std::filesystem::path(path_).filename().string();
}

void PlayerController::enter(PlayerState state) {
    state_ = state;
    setButtons(buttonStatesFor(state, buttons_));
}

void PlayerController::setButtons(const ButtonStates& states) {
    buttons_ = states;
    view_.showButtons(buttons_);
}

void PlayerController::showPosition(int64_t ms) {
    view_.showPosition(timeText(ms));
}

bool PlayerController::openFile(const std::string& path) {
    closeFile();
    std::shared_ptr<const smf::PlayList> list;
    bool cutShort = false;
    try {
        smf::MidiFile file = smf::readMidiFileAt(path);
        cutShort = file.cutShort;
        list = std::make_shared<const smf::PlayList>(smf::PlayList::fromFile(file));
    } catch (const smf::SmfError& error) {
        view_.errorBox(error.what());
        return false;
    } catch (const std::bad_alloc&) {
        view_.errorBox("There is not enough memory to open the file.");
        return false;
    }
    sequencer_.load(std::move(list));
    if (!sequencer_.portOpen() && !openPort()) {
        sequencer_.unload();
        return false;
    }
    path_ = path;
    enter(PlayerState::Ready);
    view_.showTitle(title());
    view_.showLength(timeText(sequencer_.lengthMs()));
    showPosition(0);
    if (cutShort) {
        view_.errorBox("\"" + std::filesystem::path(path).filename().string() +
                       "\" was cut short: it plays up to where the file ends.");
    }
    return true;
}

void PlayerController::closeFile() {
    stepper_.release();
    sequencer_.unload();
    sequencer_.closePort();
    reportFailedSends();
    path_.clear();
    enter(PlayerState::NoFile);
    view_.showTitle(title());
    view_.showLength(timeText(0));
    showPosition(0);
}

bool PlayerController::openPort() {
    MMRESULT result = sequencer_.openPort(port_);
    if (result != MMSYSERR_NOERROR) {
        portError(result);
        return false;
    }
    return true;
}

void PlayerController::portError(MMRESULT error) {
    view_.errorBox(errorText(error));
}

void PlayerController::play() {
    if (state_ != PlayerState::Ready && state_ != PlayerState::Paused) {
        return;
    }
    MMRESULT result = sequencer_.play();
    if (result != MMSYSERR_NOERROR) {
        portError(result);
        return;
    }
    enter(PlayerState::Playing);
}

void PlayerController::pauseOrResume() {
    if (state_ == PlayerState::Playing) {
        sequencer_.pause();
        enter(PlayerState::Paused);
    } else if (state_ == PlayerState::Paused) {
        play();
    }
}

void PlayerController::stop() {
    if (!fileOpen()) {
        return;
    }
    sequencer_.stop();
    enter(PlayerState::Ready);
    showPosition(0);
}

void PlayerController::toStart() {
    if (fileOpen()) {
        sequencer_.seek(0);
        showPosition(0);
    }
}

void PlayerController::toEnd() {
    if (fileOpen()) {
        sequencer_.seek(sequencer_.lengthMs());
        showPosition(sequencer_.lengthMs());
    }
}

void PlayerController::pressSeek(SeekStepper::Direction direction) {
    int id = direction == SeekStepper::Direction::Back ? kRewindButton : kForwardButton;
    if (!fileOpen() || !buttons_.isEnabled(id)) {
        return;
    }
    stepper_.press(direction, sequencer_.positionMs(), sequencer_.lengthMs());
    showPosition(stepper_.targetMs());
}

void PlayerController::releaseSeek() {
    if (!stepper_.seeking()) {
        return;
    }
    SeekStepper::Release release = stepper_.release();
    if (release.seekTo) {
        sequencer_.seek(*release.seekTo);
    }
    ButtonStates states = buttons_;
    states.setEnabled(kRewindButton, release.rewindEnabled);
    states.setEnabled(kForwardButton, release.forwardEnabled);
    setButtons(states);
    showPosition(sequencer_.positionMs());
}

void PlayerController::reportFailedSends() {
    const uint64_t failed = sequencer_.failedSends();
    if (failed == reportedFailures_) {
        return;
    }
    const uint64_t more = failed - reportedFailures_;
    reportedFailures_ = failed;
    view_.errorBox(std::to_string(more) + (more == 1 ? " message" : " messages") +
                   " could not be sent to the MIDI output: " + errorText(sequencer_.lastFailure()));
}

void PlayerController::timerTick() {
    reportFailedSends();
    if (!fileOpen()) {
        return;
    }
    showPosition(stepper_.seeking() ? stepper_.tick() : sequencer_.positionMs());
}

void PlayerController::endOfPlay() {
    if (state_ != PlayerState::Playing || sequencer_.playing()) {
        return; // a notice that a later command overtook
    }
    if (repeat_) {
        sequencer_.seek(0);
        sequencer_.play();
        showPosition(0);
        return;
    }
    if (!pendingDrops_.empty()) {
        playNextDrop();
        return;
    }
    sequencer_.stop();
    enter(PlayerState::Ready);
    showPosition(0);
}

void PlayerController::dropFiles(std::vector<std::string> paths) {
    closeFile();
    pendingDrops_ = std::move(paths);
    playNextDrop();
}

void PlayerController::playNextDrop() {
    if (pendingDrops_.empty()) {
        return;
    }
    std::string next = std::move(pendingDrops_.back());
    pendingDrops_.pop_back();
    if (!openFile(next)) {
        pendingDrops_.clear();
        return;
    }
    play();
}

void PlayerController::receiveHandOff(const PlayerHandOff& handoff) {
    closeFile();
    pendingDrops_.clear();
    if (openFile(handoff.path) && handoff.command == kHandOffPlay) {
        play();
    }
}

bool PlayerController::choosePort(int choice) {
    if (!fileOpen()) {
        port_ = choice;
        return true;
    }
    if (state_ != PlayerState::Ready) {
        stop();
    }
    MMRESULT result = sequencer_.openPort(choice);
    if (result != MMSYSERR_NOERROR) {
        portError(result);
        return false;
    }
    port_ = choice;
    return true;
}

} // namespace corvex
