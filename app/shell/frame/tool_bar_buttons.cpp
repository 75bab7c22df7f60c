#include "tool_bar_buttons.h"

#include "command_ids.h"
#include "string_table.h"

#include <algorithm>

namespace corvex {
namespace {

constexpr ToolBarButton separator(int nameId) {
    return {-1, kToolBarSeparator, nameId};
}

constexpr std::array<ToolBarButton, kToolBarSlotCount> kButtons{{
    separator(17400),
    {0, cmd::kLog, 17401},
    {1, cmd::kSendSysExFile, 17402},
    {2, cmd::kSysExView, 17403},
    separator(17404),
    {21, cmd::kInputMonitor, 17419},
    {34, cmd::kMainMonitor, 17429},
    {29, cmd::kPortStatus, 17424},
    {4, cmd::kMidiStatus, 17406},
    {33, cmd::kPortRoutings, 17428},
    separator(17404),
    {3, cmd::kControlPanel, 17405},
    {30, cmd::kInstrumentPanel, 17425},
    {26, cmd::kMtcTransport, 17422},
    {31, cmd::kMidiSync, 17426},
    {27, cmd::kPlayMidi, 17423},
    {28, cmd::kNrpnCalculator, 17415},
    {5, cmd::kKeyboard, 17407},
    separator(17404),
    {6, cmd::kMidiFilter, 17409},
    {23, cmd::kDataMapping, 17411},
    {32, cmd::kPatchMapping, 17427},
    {7, cmd::kMidiDevices, 17410},
    separator(17404),
    {8, cmd::kDeviceInfo, 17412},
    {9, cmd::kStopDisplay, 17413},
    {10, cmd::kClearMonitor, 17414},
    separator(17404),
    {11, cmd::kAlwaysOnTop, 17416},
    {24, cmd::kMinimizeInTray, 17421},
    {12, cmd::kReleaseMidi, 17417},
    {13, cmd::kPassSysEx, 17418},
    separator(17404),
    {14, cmd::kHelpContents, 17420},
    {22, cmd::kPanicReset, 17408},
}};

struct TogglePictures {
    int command;
    int on;
    int off;
};

// "On" for Release MIDI means the ports are released.
constexpr TogglePictures kToggles[] = {
    {cmd::kStopDisplay, 9, 18},  {cmd::kPassSysEx, 13, 17},      {cmd::kReleaseMidi, 16, 12},
    {cmd::kAlwaysOnTop, 11, 15}, {cmd::kMinimizeInTray, 24, 25}, {cmd::kKeyboard, 20, 5},
};

const TogglePictures* findToggle(int command) {
    const auto* found =
        std::find_if(std::begin(kToggles), std::end(kToggles),
                     [command](const TogglePictures& t) { return t.command == command; });
    return found == std::end(kToggles) ? nullptr : found;
}

} // namespace

const std::array<ToolBarButton, kToolBarSlotCount>& toolBarButtons() {
    return kButtons;
}

const ToolBarButton* findToolBarButton(int command) {
    const auto* found =
        std::find_if(kButtons.begin(), kButtons.end(),
                     [command](const ToolBarButton& b) { return b.command == command; });
    return found == kButtons.end() ? nullptr : found;
}

std::string_view toolBarButtonName(int command) {
    const ToolBarButton* button = findToolBarButton(command);
    return button == nullptr ? std::string_view{} : loadString(button->nameId);
}

int toolBarImage(int command, bool on) {
    if (const TogglePictures* toggle = findToggle(command)) {
        return on ? toggle->on : toggle->off;
    }
    const ToolBarButton* button = findToolBarButton(command);
    return button == nullptr ? -1 : button->image;
}

bool hasTogglePictures(int command) {
    return findToggle(command) != nullptr;
}

} // namespace corvex
