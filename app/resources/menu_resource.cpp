#include "menu_resource.h"

#include "command_ids.h"

namespace corvex {
namespace {

using K = MenuItem::Kind;

constexpr MenuItem item(int id, std::string_view text) {
    return MenuItem{K::Command, id, text, {}};
}
constexpr MenuItem separator() {
    return MenuItem{K::Separator, 0, {}, {}};
}
constexpr MenuItem popup(std::string_view text, std::span<const MenuItem> items) {
    return MenuItem{K::Popup, 0, text, items};
}

constexpr MenuItem kFileMenu[] = {
    item(cmd::kClose, "&Close"),
    separator(),
    item(cmd::kLog, "&Log..."),
    separator(),
    item(cmd::kLoadProfile, "Load &Profile..."),
    item(cmd::kSaveProfile, "&Save Profile..."),
    separator(),
    item(cmd::kLoadSnapshot, "L&oad Snapshot..."),
    item(cmd::kSaveSnapshot, "S&ave Snapshot..."),
    separator(),
    item(cmd::kExit, "E&xit"),
};

constexpr MenuItem kViewMenu[] = {
    item(cmd::kControlPanel, "&Control Panel..."),
    item(cmd::kInstrumentPanel, "Inst&rument Panel..."),
    item(cmd::kNrpnCalculator, "&NRPN Calculator..."),
    item(cmd::kMtcTransport, "M&TC Transport..."),
    item(cmd::kMidiSync, "MIDI S&ync..."),
    item(cmd::kSysExView, "&SysEx..."),
    item(cmd::kLuaScript, "&Lua Script..."),
    separator(),
    item(cmd::kMidiStatus, "&MIDI Status..."),
    item(cmd::kInputMonitor, "&Input Monitor..."),
    item(cmd::kPortStatus, "&Port Status..."),
    item(cmd::kPortRoutings, "P&ort Routings..."),
    separator(),
    item(cmd::kDeviceInfo, "&Device Info"),
    item(cmd::kCurrentMap, "C&urrent Map"),
    item(cmd::kRunningStatus, "Running St&atus"),
};

constexpr MenuItem kSendMenu[] = {
    item(cmd::kGmOn, "&GM On"),
    item(cmd::kGsOn, "G&S On"),
    item(cmd::kXgOn, "&XG On"),
    separator(),
    item(cmd::kSendSysExFile, "S&ysEx File...."),
    item(cmd::kSendSnapshot, "&Snapshot"),
};

constexpr MenuItem kActionsMenu[] = {
    item(cmd::kStopDisplay, "&Stop Display"),
    item(cmd::kClearMonitor, "Clear &Monitor"),
    item(cmd::kClearStatus, "&Clear Status"),
    separator(),
    item(cmd::kPanicReset, "&Panic Reset"),
    popup("Se&nd", kSendMenu),
    separator(),
    item(cmd::kKeyboard, "&Keyboard"),
    item(cmd::kPlayMidi, "P&lay MIDI..."),
    item(cmd::kStopWScript, "Stop &WScript"),
};

constexpr MenuItem kDataDisplayMenu[] = {
    item(cmd::kMonitorInputHex, "Monitor I&nput: Hex"),
    item(cmd::kMonitorOutputHex, "Monitor O&utput: Hex"),
};

constexpr MenuItem kOptionsMenu[] = {
    item(cmd::kMidiDevices, "&MIDI Devices..."),
    item(cmd::kCustomizePortNames, "Customi&ze Port Names..."),
    item(cmd::kMidiFilter, "MIDI &Filter..."),
    item(cmd::kDataMapping, "&Data Mapping..."),
    item(cmd::kPatchMapping, "Patc&h Mapping..."),
    separator(),
    item(cmd::kGeneralOptions, "&General..."),
    item(cmd::kFolders, "Fo&lders..."),
    item(cmd::kFileAssociations, "File &Associations..."),
    item(cmd::kSelectMidiPlayer, "S&elect MIDI Player..."),
    separator(),
    popup("Data D&isplay", kDataDisplayMenu),
    item(cmd::kMonitorFont, "Monitor F&ont..."),
    item(cmd::kColors, "&Colors..."),
    item(cmd::kConfigureBuffers, "Configure B&uffers..."),
    item(cmd::kConfigureStatus, "Configure &Status..."),
    item(cmd::kCustomizeToolbar, "Customize Tool&bar..."),
    separator(),
    item(cmd::kPassSysEx, "&Pass SysEx"),
    separator(),
    item(cmd::kReleaseMidi, "&Release MIDI"),
    item(cmd::kAlwaysOnTop, "Always &On Top"),
    item(cmd::kMinimizeInTray, "Minimize in &Tray"),
    item(cmd::kAlwaysInTray, "Al&ways in Tray"),
};

constexpr MenuItem kWindowMenu[] = {
    item(cmd::kCascade, "&Cascade\tShift+F5"),
    item(cmd::kTileHorizontally, "&Tile Horizontally\tAlt+F5"),
    item(cmd::kTileVertically, "Tile &Vertically\tCtrl+F5"),
    item(cmd::kArrangeIcons, "Arrange &Icons"),
    item(cmd::kCloseAll, "Close &All"),
};

constexpr MenuItem kHelpMenu[] = {
    item(cmd::kHelpContents, "&Contents..."),
    item(cmd::kHelpSearch, "&Search..."),
    item(cmd::kHelpOnHelp, "&Help on help..."),
    separator(),
    item(cmd::kReadMe, "&ReadMe File..."),
    item(cmd::kWebSite, "&Web Site..."),
    separator(),
    item(cmd::kAbout, "A&bout..."),
};

constexpr MenuItem kMenuBar[] = {
    popup("&File", kFileMenu),       popup("&View", kViewMenu),     popup("&Actions", kActionsMenu),
    popup("&Options", kOptionsMenu), popup("&Window", kWindowMenu), popup("&Help", kHelpMenu),
};

constexpr MenuItem kMonitorPopup[] = {
    item(cmd::kViewHexDisplay, "Displa&y Hex"),
    item(cmd::kClearMonitor, "&Clear Monitor"),
    separator(),
    item(cmd::kMarkForClipboard, "Ma&rk for Clipboard"),
    item(cmd::kCopyToClipboard, "Copy to Clip&board"),
    item(cmd::kMarkWindow, "Mar&k Window"),
    item(cmd::kCopyAll, "Copy &All"),
    separator(),
    item(cmd::kStopDisplay, "&Stop Display"),
    separator(),
    item(cmd::kControlPanel, "&Control Panel..."),
    item(cmd::kInstrumentPanel, "Inst&rument Panel..."),
    item(cmd::kNrpnCalculator, "&NRPN Calculator..."),
    item(cmd::kMtcTransport, "M&TC Transport..."),
    item(cmd::kMidiSync, "MIDI S&ync..."),
    item(cmd::kSysExView, "&SysEx..."),
};

} // namespace

std::span<const MenuItem> mainMenu() {
    return kMenuBar;
}

std::span<const MenuItem> monitorPopupMenu() {
    return kMonitorPopup;
}

const MenuItem* findMenuItem(std::span<const MenuItem> menu, int id) {
    for (const MenuItem& entry : menu) {
        if (entry.kind == K::Command && entry.id == id) {
            return &entry;
        }
        if (entry.kind == K::Popup) {
            if (const MenuItem* found = findMenuItem(entry.items, id)) {
                return found;
            }
        }
    }
    return nullptr;
}

} // namespace corvex
