#include "lua/command_history.h"

#include <filesystem>

namespace corvex {

void CommandHistory::add(std::string line) {
    entries_.push_back(std::move(line));
    position_ = entries_.size();
}

std::optional<std::string> CommandHistory::up() {
    if (entries_.empty()) {
        return std::nullopt;
    }
    if (position_ > 0) {
        --position_;
    }
    return entries_[position_];
}

std::optional<std::string> CommandHistory::down() {
    if (entries_.empty()) {
        return std::nullopt;
    }
    if (position_ < entries_.size()) {
        ++position_;
    }
    return position_ < entries_.size() ? entries_[position_] : std::string();
}

std::string scriptWindowTitle(bool hasState, const std::string& scriptPath, bool active) {
    if (!hasState) {
        return "Corvex Lua Script";
    }
    const std::string name =
        scriptPath.empty() ? "(buffer)" : std::filesystem::path(scriptPath).filename().string();
    return "Corvex Lua Script - " + name + " [" + (active ? "Active" : "Bypassed") + "]";
}

size_t logCharactersToDrop(size_t length) {
    return length > 32000 ? length / 2 : 0;
}

} // namespace corvex
