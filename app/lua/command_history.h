// The lines typed into the script window's command line since the program started, and the
// position Up and Down move through them.
//
// Threads: the user-interface thread only.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace corvex {

class CommandHistory {
public:
    // Appends a line; the position moves past the last entry.
    void add(std::string line);
    // One entry back (staying at the first); nothing when the history is empty.
    std::optional<std::string> up();
    // One entry forward; past the last entry the input empties (""); nothing when the
    // history is empty.
    std::optional<std::string> down();

private:
    std::vector<std::string> entries_;
    size_t position_ = 0;
};

// The script window's title for the engine's state: "Corvex Lua Script" without a state,
// else with the script's file name ("(buffer)" without one) and "Active" or "Bypassed".
std::string scriptWindowTitle(bool hasState, const std::string& scriptPath, bool active);

// How many characters to drop from the front of a log of `length` characters before a line
// is appended: its first half once it holds more than 32,000.
size_t logCharactersToDrop(size_t length);

} // namespace corvex
