// The program's command line: the registration words, the switches and the file arguments,
// classified into what the program does at start-up. Plain C++ (standard library and POSIX
// only), so the program and any tool can parse a command line the way the program does.
//
// Arguments are tokens as the shell delivered them (already split and unquoted: a path with
// spaces is one argument). A switch is "-word" or "--word"; "/word" is a switch only when
// the word is one of the known words (case ignored) and no file of that name exists, since
// every absolute path starts with "/". Any thread may call these functions; they read the
// file system (existence and the profile test) but never write.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace corvex {

enum class FileVerb : int { None = 0, Open = 1, Play = 2, Send = 3 };
enum class Registration { None, UnregServer, RegServer, Install, Reg };

struct CommandLine {
    Registration registration = Registration::None;
    int result = 2; // 0 no usable argument, 1 a named file is missing, 2 start normally,
                    // 3 start with a profile, 4 start with a map or SysEx file and no profile
    std::string profilePath, mapPath, sysexPath;
    std::string snapshotPath; // a ".mxs" file: loaded into the MIDI status view at the start
    FileVerb mapVerb = FileVerb::None, sysexVerb = FileVerb::None;
    bool minimizeToTray = false;
};

// `arguments` is argv[1..]. A registration word counts only as the last argument; once a
// named file is missing the result stays 1.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

// The Linux conventions beside the command-line contract: "--help" / "-h" and "--version"
// anywhere on the command line (the first one found wins).
enum class InfoRequest { None, Help, Version };
InfoRequest findInfoRequest(const std::vector<std::string>& arguments);

// The profile test of a file argument: a non-empty regular file of valid UTF-8 text without
// NUL or other control bytes (tab, CR and LF allowed), no larger than 4 MiB.
bool isProfileFileText(std::string_view bytes);
bool isProfileFile(const std::string& path);

} // namespace corvex
