#include "string_table.h"

#include "command_ids.h"

#include <algorithm>
#include <array>
#include <utility>

namespace corvex {
namespace {

struct Entry {
    int id;
    std::string_view text;
};

// Sorted by id for the binary search in loadString.
constexpr Entry kStrings[] = {
    {str::kProductCaption, "Corvex"},
    {str::kProgramSettingsFile, "CORVEX.INI"},
    {str::kRegistryRoot, "Software\\Corvex"},
    {str::kCommandLineNotUnderstood, "Could not interpret command line: '%s'"},
    {str::kFileNotFoundOnCommandLine, "A specified file was not found: '%s'"},
    {17400, "SEP"},
    {17401, "Log"},
    {17402, "Send SysEx"},
    {17403, "Receive SysEx"},
    {17404, "SEP"},
    {17405, "Control Panel"},
    {17406, "Status Dialog"},
    {17407, "Keyboard"},
    {17408, "Panic Button"},
    {17409, "Filter"},
    {17410, "MIDI Devices"},
    {17411, "Data Mapping"},
    {17412, "Show Devices"},
    {17413, "Start/Stop Recording"},
    {17414, "Clear Display"},
    {17415, "NRPN Calculator"},
    {17416, "Toggle On Top"},
    {17417, "Toggle Free MIDI"},
    {17418, "Toggle Passing SysEx"},
    {17419, "Input Monitor"},
    {17420, "Help"},
    {17421, "Toggle TaskBar Tray"},
    {17422, "MTC Transport"},
    {17423, "MIDI Bar"},
    {17424, "MIDI Port Status"},
    {17425, "Instrument Panel"},
    {17426, "MIDI Sync Transport"},
    {17427, "Patch Mapping"},
    {17428, "Port Routing"},
    {17429, "Main Monitor"},
    {str::kInstanceData, "Instance Data"},
    {str::kInstanceValueFormat, "hWnd %2.2d"},
    {str::kSysExSendFilter, "SysEx (*.syx, *.cbk)|*.syx;*.cbk|All Files (*.*)|*.*|"},
    {str::kMainMonitorTitle, "Monitor - Output"},
    {str::kInputMonitorTitle, "Monitor - Input"},
    {str::kMidiStatusTitle, "MIDI Status"},
    {str::kProfileFilter, "Profile (*.ini)|*.ini|All Files (*.*)|*.*|"},
    {str::kPortActivityTitle, "MIDI Port Activity"},
    {str::kMapFolderTitle, "Map Folder"},
    {str::kSysExFolderTitle, "SysEx Folder"},
    {str::kSnapshotFolderTitle, "Snapshot Folder"},
    {str::kPortRoutingTitle, "MIDI Port Routing"},
    {str::kOutOfMemory, "Out of memory!"},
    {str::kDialogFailed, "Error opening the dialog"},
    {str::kOpenFileFailed, "Error trying to open the file"},
    {str::kNoSysExOutput, "No Output Device is Selected or there are no SysEx buffers.\n"
                          "Only Manual Dump Supported.\n"
                          "\n"
                          "Hint: Make sure 'Options | Pass SysEx' is checked."},
    {str::kNoSysExInput, "No Input Device is Selected or there are no SysEx buffers.\n"
                         "Cannot receive SysEx.\n"
                         "\n"
                         "Hint: Make sure 'Options | Pass SysEx' is checked."},
    {str::kFileNotFound, "File not found: '%s'"},
    {str::kNoOutputPortOpen, "No output port open!"},
    {str::kKeyboardHookFailed, "SetWindowsHookEx WH_KEYBOARD failed!"},
    {str::kNoKeyboardTimer, "No timers to flash Keyboard Light!"},
    {str::kHelpPageMissing, "The help page '%s' is not installed."},
    {str::kBrowserFailed, "Could not open '%s' in the web browser."},
    {str::kDroppedFileFailed, "The file '%s' could not be used."},
    {str::kVersionFormat, "Version: %s"},
    {str::kBuildFormat, "64 Bit build: %s"},
    {str::kFrameTitleFormat, "%s (64)"},
    {str::kFrameTitleInstanceFormat, "%s : %d"},
    // Menu and toolbar help, under the command's own id.
    {cmd::kAbout, "Show the program's version"},
    {cmd::kExit, "Save the settings, close the MIDI ports and quit"},
    {cmd::kLoadProfile, "Load all settings from a profile file"},
    {cmd::kSaveProfile, "Save all settings to a profile file"},
    {cmd::kSendSnapshot, "Send the MIDI status snapshot to the outputs"},
    {cmd::kLoadSnapshot, "Load a status snapshot into the MIDI status view"},
    {cmd::kSaveSnapshot, "Save the MIDI status view as a snapshot"},
    {cmd::kPatchMapping, "Switch data maps and device presets on program changes"},
    {cmd::kControlPanel, "Send controllers, banks and programs from the control panel"},
    {cmd::kMidiStatus, "Show the state of every MIDI channel"},
    {cmd::kInputMonitor, "Show the messages arriving at the inputs"},
    {cmd::kMtcTransport, "Show, generate and follow MIDI Time Code"},
    {cmd::kNrpnCalculator, "Convert between NRPN MSB/LSB pairs and 14-bit values"},
    {cmd::kPortStatus, "Show the activity of every open port"},
    {cmd::kMonitorInputHex, "Show the input monitor in hexadecimal or decimal"},
    {cmd::kMonitorOutputHex, "Show the main monitor in hexadecimal or decimal"},
    {cmd::kPanicReset, "Silence every channel of every open output"},
    {cmd::kClearStatus, "Clear the MIDI status view"},
    {cmd::kConfigureStatus, "Choose the columns of the MIDI status view"},
    {cmd::kRunningStatus, "Show which outputs send running status"},
    {cmd::kInstrumentPanel, "Choose banks and patches by name from instrument definitions"},
    {cmd::kGeneralOptions, "Display, monitor and panic options"},
    {cmd::kMidiDevices, "Choose the MIDI ports to open and route"},
    {cmd::kMidiFilter, "Choose MIDI data to Filter Out"},
    {cmd::kDataMapping, "Edit the global data map that rewrites incoming messages"},
    {cmd::kPassSysEx, "Pass System Exclusive data through the open ports"},
    {cmd::kHelpContents, "Show the table of contents of the help"},
    {cmd::kHelpSearch, "Search the help"},
    {cmd::kHelpOnHelp, "How to use the help"},
    {cmd::kContextHelp, "Get help on the current topic"},
    {cmd::kCustomizePortNames, "Give the ports names of your own"},
    {cmd::kMidiSync, "Generate and follow MIDI clock"},
    {cmd::kFolders, "Choose the folders for maps, SysEx files and snapshots"},
    {cmd::kDeviceInfo, "List the selected devices in the main monitor"},
    {cmd::kGmOn, "Send General MIDI System On"},
    {cmd::kGsOn, "Send GS Reset"},
    {cmd::kXgOn, "Send XG System On"},
    {cmd::kPlayMidi, "Play a MIDI file"},
    {cmd::kSelectMidiPlayer, "Choose the program that plays MIDI files"},
    {cmd::kStopWScript, "End the input loop of an attached script"},
    {cmd::kMarkForClipboard, "Mark text in the monitor for the clipboard"},
    {cmd::kCopyToClipboard, "Copy the marked text to the clipboard"},
    {cmd::kMarkWindow, "Mark everything visible in the monitor"},
    {cmd::kCopyAll, "Copy every line of the monitor to the clipboard"},
    {cmd::kFileAssociations, "Choose which file types open with this program"},
    {cmd::kCurrentMap, "List the rules of the current data map in the main monitor"},
    {cmd::kStopDisplay, "Stop or start showing messages in the monitors"},
    {cmd::kToggleLogging, "Switch logging on or off"},
    {cmd::kGlobalDataMap, "Switch the global data map on or off"},
    {cmd::kConfigureBuffers, "Configure the SysEx buffers of the ports"},
    {cmd::kClearMonitor, "Clear the active monitor"},
    {cmd::kClearInput, "Clear the input monitor"},
    {cmd::kClearMainMonitor, "Clear the main monitor"},
    {cmd::kReleaseMidi, "Release the MIDI ports for other programs, or take them back"},
    {cmd::kAlwaysOnTop, "Keep the window above all others"},
    {cmd::kMinimizeInTray, "Minimise into the notification area"},
    {cmd::kTileHorizontally, "Arrange the windows one above the other"},
    {cmd::kTileVertically, "Arrange the windows side by side"},
    {cmd::kShowHide, "Show or hide the main window"},
    {cmd::kAlwaysInTray, "Always show an icon in the notification area"},
    {cmd::kLog, "Log the monitored messages to a file"},
    {cmd::kKeyboard, "Play notes on the computer keyboard"},
    {cmd::kSendSysExFile, "Send a SysEx file to the outputs"},
    {cmd::kCascade, "Arrange the windows overlapping"},
    {cmd::kArrangeIcons, "Arrange the minimised windows"},
    {cmd::kCloseAll, "Close every window and tool window"},
    {cmd::kClose, "Close the active window"},
    {cmd::kCustomizeToolbar, "Choose the buttons of the toolbar"},
    {cmd::kSysExView, "Request, capture and edit SysEx dumps"},
    {cmd::kColors, "Choose the colours of the monitors and views"},
    {cmd::kMonitorFont, "Choose the font of the monitors"},
    {cmd::kWebSite, "Open the program's web site"},
    {cmd::kReadMe, "Read the ReadMe file"},
    {cmd::kMainMonitor, "Show the main monitor"},
    {cmd::kPortRoutings, "Route inputs to outputs with channel masks and maps"},
    {cmd::kLuaScript, "Run Lua scripts that see and make MIDI"},
};

constexpr bool sortedById() {
    for (std::size_t i = 1; i < std::size(kStrings); ++i) {
        if (kStrings[i - 1].id >= kStrings[i].id) {
            return false;
        }
    }
    return true;
}
static_assert(sortedById(), "string table entries must be sorted by id and unique");

} // namespace

std::string_view loadString(int id) {
    const auto* end = std::end(kStrings);
    const auto* found = std::lower_bound(
        std::begin(kStrings), end, id, [](const Entry& entry, int key) { return entry.id < key; });
    return found != end && found->id == id ? found->text : std::string_view{};
}

std::string formatString(std::string_view format, std::initializer_list<std::string_view> texts,
                         std::initializer_list<int> numbers) {
    std::string out;
    out.reserve(format.size() + 32);
    auto text = texts.begin();
    auto number = numbers.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        const char next = i + 1 < format.size() ? format[i + 1] : '\0';
        if (c != '%' || (next != 's' && next != 'd' && next != '%')) {
            out += c;
            continue;
        }
        ++i;
        if (next == '%') {
            out += '%';
        } else if (next == 's' && text != texts.end()) {
            out += *text++;
        } else if (next == 'd' && number != numbers.end()) {
            out += std::to_string(*number++);
        }
    }
    return out;
}

} // namespace corvex
