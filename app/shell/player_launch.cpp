#include "shell/player_launch.h"

#include <filesystem>

namespace corvex {

std::string playerProgram(const std::string& setting, const std::string& programFolder,
                          const std::string& builtPlayer) {
    if (setting.find('/') != std::string::npos) {
        return setting;
    }
    const std::string beside = programFolder + "/" + (setting.empty() ? "tunelet" : setting);
    std::error_code error;
    if (setting.empty() && !std::filesystem::exists(beside, error) && !builtPlayer.empty() &&
        std::filesystem::exists(builtPlayer, error)) {
        return builtPlayer;
    }
    return beside;
}

std::vector<std::string> playerArguments(PlayerStart kind, const std::string& file) {
    switch (kind) {
    case PlayerStart::Open:
        return {"--open", file};
    case PlayerStart::Play:
        return {"--play", file};
    case PlayerStart::Alone:
        break;
    }
    return {};
}

} // namespace corvex
