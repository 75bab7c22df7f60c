#include "command_rules.h"

#include "command_ids.h"

#include <algorithm>
#include <iterator>

namespace corvex {
namespace {

constexpr int kFrameCommands[] = {
    cmd::kAbout,
    cmd::kExit,
    cmd::kLoadProfile,
    cmd::kSaveProfile,
    cmd::kPanicReset,
    cmd::kGeneralOptions,
    cmd::kFolders,
    cmd::kGmOn,
    cmd::kGsOn,
    cmd::kXgOn,
    cmd::kHelpContents,
    cmd::kHelpSearch,
    cmd::kHelpOnHelp,
    cmd::kContextHelp,
    cmd::kWebSite,
    cmd::kReadMe,
    cmd::kCascade,
    cmd::kTileHorizontally,
    cmd::kTileVertically,
    cmd::kArrangeIcons,
    cmd::kCloseAll,
    cmd::kClose,
    cmd::kMonitorInputHex,
    cmd::kMonitorOutputHex,
    cmd::kStopDisplay,
    cmd::kClearMonitor,
    cmd::kClearInput,
    cmd::kClearMainMonitor,
    cmd::kMarkForClipboard,
    cmd::kCopyToClipboard,
    cmd::kMarkWindow,
    cmd::kCopyAll,
    cmd::kMonitorFont,
    cmd::kDeviceInfo,
    cmd::kRunningStatus,
    cmd::kCurrentMap,
    cmd::kPassSysEx,
    cmd::kPortsChanged,
    cmd::kPatchMapHandled,
    cmd::kMainMonitor,
    cmd::kKeyboard,
    cmd::kMidiStatus,
    cmd::kInputMonitor,
    cmd::kPortStatus,
    cmd::kPortRoutings,
    cmd::kAlwaysOnTop,
    cmd::kCustomizeToolbar,
    cmd::kMinimizeInTray,
    cmd::kAlwaysInTray,
    cmd::kShowHide,
};

} // namespace

bool isFrameCommand(int id) {
    return std::find(std::begin(kFrameCommands), std::end(kFrameCommands), id) !=
           std::end(kFrameCommands);
}

bool isFrameCheckMark(int id) {
    return id == cmd::kMonitorInputHex || id == cmd::kMonitorOutputHex || id == cmd::kPassSysEx ||
           id == cmd::kKeyboard || id == cmd::kAlwaysOnTop || id == cmd::kMinimizeInTray ||
           id == cmd::kAlwaysInTray;
}

bool isCheckable(int id) {
    return isFrameCheckMark(id) || id == cmd::kLog || id == cmd::kPatchMapping ||
           id == cmd::kMidiFilter || id == cmd::kDataMapping;
}

bool isToolWindowCommand(int id) {
    switch (id) {
    case cmd::kControlPanel:
    case cmd::kMtcTransport:
    case cmd::kNrpnCalculator:
    case cmd::kInstrumentPanel:
    case cmd::kMidiSync:
    case cmd::kSysExView:
        return true;
    default:
        return false;
    }
}

bool isViewCommand(int id) {
    return id == cmd::kMidiStatus || id == cmd::kInputMonitor || id == cmd::kPortStatus ||
           id == cmd::kPortRoutings;
}

bool commandEnabled(int id, const FrameState& state, bool provided) {
    if (!provided) {
        return false;
    }
    if (isToolWindowCommand(id) && state.openToolWindows.contains(id)) {
        return false;
    }
    switch (id) {
    case cmd::kSysExView:
        return state.passSysEx;
    case cmd::kMinimizeInTray:
    case cmd::kAlwaysInTray:
        return state.trayAvailable;
    case cmd::kLoadSnapshot:
    case cmd::kSaveSnapshot:
    case cmd::kSendSnapshot:
    case cmd::kClearStatus:
        return state.midiStatusOpen;
    default:
        return true;
    }
}

bool commandChecked(int id, const FrameState& state) {
    switch (id) {
    case cmd::kMonitorInputHex:
        return state.inputHex;
    case cmd::kMonitorOutputHex:
        return state.outputHex;
    case cmd::kPassSysEx:
        return state.passSysEx;
    case cmd::kKeyboard:
        return state.keyboardActive;
    case cmd::kAlwaysOnTop:
        return state.onTop;
    case cmd::kMinimizeInTray:
        return state.minimizeToTray;
    case cmd::kAlwaysInTray:
        return state.alwaysInTray;
    default:
        return false;
    }
}

std::string_view commandText(int id, const FrameState& state) {
    if (id == cmd::kStopDisplay) {
        return state.displayRunning ? "&Stop Display" : "&Start Display";
    }
    if (id == cmd::kReleaseMidi) {
        return state.midiReleased ? "&Open MIDI" : "&Release MIDI";
    }
    if (id == cmd::kMinimizeInTray) {
        return state.trayAvailable ? "Minimize in &Tray" : "Minimize in &Tray (no system tray)";
    }
    if (id == cmd::kAlwaysInTray) {
        return state.trayAvailable ? "Al&ways in Tray" : "Al&ways in Tray (no system tray)";
    }
    return {};
}

bool keyboardLostItsOutputs(const FrameState& state, int openOutputs) {
    return state.keyboardActive && openOutputs == 0;
}

} // namespace corvex
