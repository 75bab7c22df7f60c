#include "button_states.h"

namespace corvex {

ButtonStates buttonStatesFor(PlayerState state, const ButtonStates& previous) {
    ButtonStates next;
    next.setEnabled(kRepeatButton, true);
    next.setEnabled(kPortButton, true);
    next.setEnabled(kOpenButton, true);
    switch (state) {
    case PlayerState::NoFile:
        break;
    case PlayerState::Ready:
        next.setEnabled(kPlayButton, true);
        next.setEnabled(kForwardButton, true);
        next.setEnabled(kToStartButton, true);
        next.setEnabled(kToEndButton, true);
        break;
    case PlayerState::Playing:
    case PlayerState::Paused:
        next.setEnabled(kPlayButton, state == PlayerState::Paused);
        next.setEnabled(kPauseButton, true);
        next.setEnabled(kStopButton, true);
        next.setEnabled(kRewindButton, true);
        next.setEnabled(kForwardButton, true);
        next.setEnabled(kToStartButton, previous.isEnabled(kToStartButton));
        next.setEnabled(kToEndButton, previous.isEnabled(kToEndButton));
        next.pauseChecked = state == PlayerState::Paused;
        break;
    }
    return next;
}

} // namespace corvex
