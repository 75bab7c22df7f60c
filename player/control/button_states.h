// The player's buttons, their command ids and which of them are enabled in each state.
// Pure data and functions: any thread.
#pragma once

#include <array>
#include <cstdint>

namespace corvex {

enum ButtonId : int {
    kRepeatButton = 100,
    kPortButton = 101,
    kOpenButton = 102,
    kPlayButton = 103,
    kPauseButton = 104,
    kStopButton = 105,
    kRewindButton = 106,
    kForwardButton = 107,
    kToStartButton = 108,
    kToEndButton = 109,
};
inline constexpr int kFirstButton = kRepeatButton;
inline constexpr int kButtonCount = 10;

// Notification codes the button bar reports besides the click: pressed and released.
inline constexpr int kButtonPressed = 0x201;
inline constexpr int kButtonReleased = 0x203;

enum class PlayerState { NoFile, Ready, Playing, Paused };

struct ButtonStates {
    std::array<bool, kButtonCount> enabled{}; // index: id - kFirstButton
    bool pauseChecked = false;

    bool isEnabled(int id) const { return enabled[id - kFirstButton]; }
    void setEnabled(int id, bool on) { enabled[id - kFirstButton] = on; }
    bool operator==(const ButtonStates&) const = default;
};

// The states on entering `state`, from `previous` (To start and To end keep theirs when
// playing starts). Repeat, Port and Open are always enabled.
ButtonStates buttonStatesFor(PlayerState state, const ButtonStates& previous);

} // namespace corvex
