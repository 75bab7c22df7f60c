// The program's string table: captions, titles, messages with "%s" and "%d" placeholders,
// file filters, toolbar button names and, under each command's own id, the help text the
// status bar shows for a menu item and a toolbar button shows as its tooltip. Plain constant
// data, usable from any thread.
#pragma once

#include <string>
#include <string_view>

namespace corvex {

namespace str {
inline constexpr int kProductCaption = 17000;
inline constexpr int kProgramSettingsFile = 17002; // "CORVEX.INI"
inline constexpr int kRegistryRoot = 17300;
inline constexpr int kInstanceData = 17459;
inline constexpr int kInstanceValueFormat = 17473;
inline constexpr int kCommandLineNotUnderstood = 17393;
inline constexpr int kFileNotFoundOnCommandLine = 17394;
inline constexpr int kFirstToolbarName = 17400;
inline constexpr int kLastToolbarName = 17429;
inline constexpr int kSysExSendFilter = 17487;
inline constexpr int kMainMonitorTitle = 17500;
inline constexpr int kInputMonitorTitle = 17501;
inline constexpr int kMidiStatusTitle = 17506;
inline constexpr int kProfileFilter = 17530;
inline constexpr int kPortActivityTitle = 17542;
inline constexpr int kMapFolderTitle = 17584;
inline constexpr int kSysExFolderTitle = 17585;
inline constexpr int kSnapshotFolderTitle = 17586;
inline constexpr int kPortRoutingTitle = 17618;
inline constexpr int kOutOfMemory = 18303;
inline constexpr int kDialogFailed = 18507;
inline constexpr int kOpenFileFailed = 18508;
inline constexpr int kNoSysExOutput = 18509;
inline constexpr int kNoSysExInput = 18510;
inline constexpr int kFileNotFound = 18600;
inline constexpr int kNoOutputPortOpen = 18601;
inline constexpr int kKeyboardHookFailed = 18602;
inline constexpr int kNoKeyboardTimer = 18603;
inline constexpr int kHelpPageMissing = 18604;
inline constexpr int kBrowserFailed = 18605;
inline constexpr int kDroppedFileFailed = 18606;
inline constexpr int kVersionFormat = 18610;
inline constexpr int kBuildFormat = 18611;
inline constexpr int kFrameTitleFormat = 18612;
inline constexpr int kFrameTitleInstanceFormat = 18613;
} // namespace str

// The text of string `id`; empty when there is none.
std::string_view loadString(int id);

// `format` with each "%s" replaced by the next of `texts` and each "%d" by the next of
// `numbers`, in order; "%%" is a literal "%". Missing arguments leave nothing.
std::string formatString(std::string_view format, std::initializer_list<std::string_view> texts,
                         std::initializer_list<int> numbers = {});

} // namespace corvex
