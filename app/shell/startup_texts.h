// The texts the program's start-up shows, verbatim ("%s" is filled by the caller).
#pragma once

namespace corvex::startup_text {

inline constexpr char kProductCaption[] = "Corvex";
inline constexpr char kCannotInterpret[] = "Could not interpret command line: '%s'";
inline constexpr char kFileNotFound[] = "A specified file was not found: '%s'";
inline constexpr char kInitFirstInstance[] = "InitFirstInstance failed!";
inline constexpr char kDynamicLink[] = "Could not accomplish dynamic link via CvxLib.dll";
inline constexpr char kAnimatedIcon[] = "Could not create Animated Icon!";
inline constexpr char kToolbar[] = "Could not create Toolbar!";
inline constexpr char kFrameFailed[] = "Create Main Frame Window Failed!";
inline constexpr char kClientWindowFailed[] = "Create Client Window Failed!";
inline constexpr char kClientMemory[] = "Failed on allocating 16bit Client memory!.";
inline constexpr char kNoDevices[] =
    "No Selected Devices or Previously selected devices could not be Opened!";
// Follows kNoDevices until the program has a dialog for choosing ports.
inline constexpr char kChoosePorts[] =
    "To choose the MIDI ports, load a profile that names them: File > Load Profile... "
    "(examples/profiles/loopback-thru.ini routes the Corvex loopback cables), or start "
    "Corvex with the profile: corvex my-ports.ini. Options > Open MIDI opens them after a "
    "Release MIDI.";

// A path that does not fit the hand-off block is refused rather than cut.
inline constexpr char kPathTooLong[] =
    "The path is too long to hand to the running Corvex (at most 259 bytes): '%s'";
// A SysEx file named when this build has no SysEx view to open it in.
inline constexpr char kNoSysExView[] = "SysEx files cannot be opened in this build: '%s'";

} // namespace corvex::startup_text
