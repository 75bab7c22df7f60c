// The player's command line. Each argument is one token (the shell has split and unquoted
// them); blanks and quotes around it are removed as well. A switch is "-word" or "--word",
// or "/word" when the word is known (case ignored) and no file of that name exists, since
// "/" starts every absolute path. "play" plays the file that follows, "open" and "send"
// open it. A token without a switch opens the file. The file must exist and not be a
// folder; the first usable one counts. Any other switch ("/foo", "-x") is reported in
// unknownSwitch, and then no file is opened at all.
// "--help" and "--version" ask for the usage or the version text.
//
// Pure function of its arguments and the file system: any thread.
#pragma once

#include <string>
#include <vector>

namespace corvex {

enum class PlayerVerb { None, Open, Play };

struct PlayerCommand {
    PlayerVerb verb = PlayerVerb::None; // None: no usable file
    std::string path;
    std::string unknownSwitch; // the first switch that is none of the above, as given
    bool help = false;
    bool version = false;
};

PlayerCommand parsePlayerCommandLine(const std::vector<std::string>& arguments); // argv[1..]

} // namespace corvex
