// When a frame command is available, checked, and what its item reads, from the frame's
// state. Plain logic; the frame applies the result to its actions.
#pragma once

#include <set>
#include <string_view>

namespace corvex {

// The frame's run-time state that menus show.
struct FrameState {
    bool displayRunning = true; // monitoring displayed (command 33200)
    bool inputHex = true;       // input monitor shows hexadecimal
    bool outputHex = true;      // main monitor shows hexadecimal
    bool passSysEx = true;
    bool keyboardActive = false;   // the computer keyboard plays MIDI
    bool onTop = false;            // the frame stays above other windows (33241)
    bool minimizeToTray = false;   // minimising hides the frame into the tray (33242)
    bool alwaysInTray = false;     // the tray icon is always shown (33246)
    bool trayAvailable = true;     // the desktop has a system tray
    bool midiReleased = false;     // the ports are closed (33240 reads "&Open MIDI")
    bool midiStatusOpen = false;   // the MIDI status view exists
    std::set<int> openToolWindows; // commands of the modeless tool windows now open
};

// The commands the frame runs itself; every other command goes to the program.
bool isFrameCommand(int id);
// Check marks the frame keeps from its state; the program sets the others.
bool isFrameCheckMark(int id);
// The menu items that carry a check mark (the frame's and the program's).
bool isCheckable(int id);

// The commands that open a modeless tool window (at most one of each).
bool isToolWindowCommand(int id);
// The commands that open or activate a view in the multiple-document area.
bool isViewCommand(int id);

// `provided`: whether anybody runs the command in this build.
bool commandEnabled(int id, const FrameState& state, bool provided);
bool commandChecked(int id, const FrameState& state);
// The item's text when the state changes it (33200, 33240, the tray options); empty when the
// menu text stands.
std::string_view commandText(int id, const FrameState& state);

// After the ports were opened, released or changed: the computer keyboard plays into the
// open outputs, so with none left it must be switched off.
bool keyboardLostItsOutputs(const FrameState& state, int openOutputs);

} // namespace corvex
