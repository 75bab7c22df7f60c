// Starting the MIDI file player: which program the setting "MIDI Player" names and the
// arguments of each kind of start. Plain C++; callable from any thread.
#pragma once

#include <string>
#include <vector>

namespace corvex {

enum class PlayerStart { Alone = 0, Open = 1, Play = 2 };

// The player's path: the setting as it stands when it names a folder, the program of that
// name in `programFolder` when it names none, and `tunelet` there when the setting is empty.
// In a build tree, where tunelet is not beside corvex, `builtPlayer` is used for an empty
// setting when it exists.
std::string playerProgram(const std::string& setting, const std::string& programFolder,
                          const std::string& builtPlayer);

// "--open FILE" or "--play FILE"; nothing for a start alone.
std::vector<std::string> playerArguments(PlayerStart kind, const std::string& file);

} // namespace corvex
