#include "command_rules.h"

#include "command_ids.h"

namespace corvex {

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
    default:
        return false;
    }
}

std::string_view commandText(int id, const FrameState& state) {
    if (id == cmd::kStopDisplay) {
        return state.displayRunning ? "&Stop Display" : "&Start Display";
    }
    return {};
}

} // namespace corvex
