// The program's command identifiers: the integers that menus, accelerators, the toolbar, the
// tray menu and other windows send to the frame. Their values are fixed because windows and
// other processes exchange them. Plain data, usable from any thread.
#pragma once

namespace corvex::cmd {

// File
inline constexpr int kClose = 33258;
inline constexpr int kLog = 33251;
inline constexpr int kLoadProfile = 33107;
inline constexpr int kSaveProfile = 33108;
inline constexpr int kLoadSnapshot = 33114;
inline constexpr int kSaveSnapshot = 33115;
inline constexpr int kExit = 33102;

// View
inline constexpr int kControlPanel = 33121;
inline constexpr int kInstrumentPanel = 33151;
inline constexpr int kNrpnCalculator = 33125;
inline constexpr int kMtcTransport = 33124;
inline constexpr int kMidiSync = 33172;
inline constexpr int kSysExView = 33261;
inline constexpr int kLuaScript = 33921;
inline constexpr int kMidiStatus = 33122;
inline constexpr int kInputMonitor = 33123;
inline constexpr int kPortStatus = 33126;
inline constexpr int kPortRoutings = 33911;
inline constexpr int kDeviceInfo = 33180;
inline constexpr int kCurrentMap = 33197;
inline constexpr int kRunningStatus = 33150;

// Actions
inline constexpr int kStopDisplay = 33200;
inline constexpr int kClearMonitor = 33220;
inline constexpr int kClearStatus = 33148;
inline constexpr int kPanicReset = 33147;
inline constexpr int kGmOn = 33181;
inline constexpr int kGsOn = 33182;
inline constexpr int kXgOn = 33183;
inline constexpr int kSendSysExFile = 33253;
inline constexpr int kSendSnapshot = 33110;
inline constexpr int kKeyboard = 33252;
inline constexpr int kPlayMidi = 33184;
inline constexpr int kStopWScript = 33187;

// Options
inline constexpr int kMidiDevices = 33161;
inline constexpr int kCustomizePortNames = 33171;
inline constexpr int kMidiFilter = 33162;
inline constexpr int kDataMapping = 33163;
inline constexpr int kPatchMapping = 33116;
inline constexpr int kGeneralOptions = 33160;
inline constexpr int kFolders = 33178;
inline constexpr int kFileAssociations = 33196;
inline constexpr int kSelectMidiPlayer = 33185;
inline constexpr int kMonitorInputHex = 33144;
inline constexpr int kMonitorOutputHex = 33145;
inline constexpr int kMonitorFont = 33263;
inline constexpr int kColors = 33262;
inline constexpr int kConfigureBuffers = 33210;
inline constexpr int kConfigureStatus = 33149;
inline constexpr int kCustomizeToolbar = 33260;
inline constexpr int kPassSysEx = 33165;

// Window
inline constexpr int kCascade = 33254;
inline constexpr int kTileHorizontally = 33243;
inline constexpr int kTileVertically = 33244;
inline constexpr int kArrangeIcons = 33256;
inline constexpr int kCloseAll = 33257;
inline constexpr int kFirstMdiChild = 5000; // the window list appended to the Window menu

// Help
inline constexpr int kHelpContents = 33166;
inline constexpr int kHelpSearch = 33167;
inline constexpr int kHelpOnHelp = 33168;
inline constexpr int kReadMe = 33269;
inline constexpr int kWebSite = 33268;
inline constexpr int kAbout = 33101;
inline constexpr int kContextHelp = 33169; // F1

// Sent by other windows, the toolbar, the status bar and the tray menu
inline constexpr int kPortsChanged = 33186;    // notification code 1: ports opened or closed
inline constexpr int kPatchMapHandled = 33188; // notification code 1: refresh the routing view
inline constexpr int kMarkForClipboard = 33189;
inline constexpr int kCopyToClipboard = 33190;
inline constexpr int kAskMarking = 33191; // argument of message 0x8035
inline constexpr int kMarkWindow = 33192;
inline constexpr int kCopyAll = 33193;
inline constexpr int kToggleLogging = 33201;    // status bar LOG cell
inline constexpr int kGlobalDataMap = 33203;    // tray menu, status bar MAP cell
inline constexpr int kClearInput = 33221;       // monitor context menu
inline constexpr int kClearMainMonitor = 33222; // monitor context menu
inline constexpr int kScriptHost = 33223;       // removed when the script host is missing
inline constexpr int kReleaseMidi = 33240;      // Options menu and toolbar
inline constexpr int kAlwaysOnTop = 33241;
inline constexpr int kMinimizeInTray = 33242;
inline constexpr int kShowHide = 33245; // tray menu
inline constexpr int kAlwaysInTray = 33246;
inline constexpr int kMainMonitor = 33910; // toolbar "Main Monitor"

// Commands the frame sends to its views
inline constexpr int kViewHexDisplay = 33146;   // monitor: argument = new hex state
inline constexpr int kInputMonitorFont = 33128; // input monitor: reload the font
inline constexpr int kSysExSendFile = 33272;    // SysEx view: send a file without viewing
inline constexpr int kSysExLoadFile = 33273;    // SysEx view: load a file

} // namespace corvex::cmd
