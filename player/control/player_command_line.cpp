#include "player_command_line.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>

namespace corvex {
namespace {

std::string trimmed(const std::string& text) {
    auto isTrim = [](char c) { return c == ' ' || c == '\t' || c == '"'; };
    size_t first = 0;
    while (first < text.size() && isTrim(text[first])) {
        ++first;
    }
    size_t last = text.size();
    while (last > first && isTrim(text[last - 1])) {
        --last;
    }
    return text.substr(first, last - first);
}

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

bool isUsableFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error) && !std::filesystem::is_directory(path, error);
}

bool isKnownWord(const std::string& word) {
    return word == "open" || word == "play" || word == "send" || word == "help" ||
           word == "version";
}

// The switch word of a token, or nothing when the token is a path.
std::optional<std::string> switchWord(const std::string& token) {
    if (token.starts_with("--") && token.size() > 2) {
        return lowered(token.substr(2));
    }
    if (token.starts_with("-") && token.size() > 1) {
        return lowered(token.substr(1));
    }
    if (token.starts_with("/") && token.size() > 1 && !exists(token)) {
        std::string word = lowered(token.substr(1));
        // "/foo" names no file of the root folder: a switch, known or not. "/no/such" is a
        // path that does not exist.
        if (isKnownWord(word) || word.find('/') == std::string::npos) {
            return word;
        }
    }
    return std::nullopt;
}

PlayerVerb verbOf(const std::string& word) {
    if (word == "play") {
        return PlayerVerb::Play;
    }
    if (word == "open" || word == "send") {
        return PlayerVerb::Open;
    }
    return PlayerVerb::None;
}

} // namespace

PlayerCommand parsePlayerCommandLine(const std::vector<std::string>& arguments) {
    PlayerCommand command;
    std::optional<PlayerVerb> pendingVerb;
    for (const std::string& argument : arguments) {
        std::string token = trimmed(argument);
        if (token.empty()) {
            continue;
        }
        if (auto word = switchWord(token)) {
            command.help = command.help || *word == "help";
            command.version = command.version || *word == "version";
            if (!isKnownWord(*word) && command.unknownSwitch.empty()) {
                command.unknownSwitch = token;
            }
            pendingVerb = verbOf(*word);
            continue;
        }
        PlayerVerb verb = pendingVerb.value_or(PlayerVerb::Open);
        pendingVerb.reset();
        if (command.verb == PlayerVerb::None && verb != PlayerVerb::None && isUsableFile(token)) {
            command.verb = verb;
            command.path = token;
        }
    }
    if (!command.unknownSwitch.empty()) {
        command.verb = PlayerVerb::None; // what was meant is unclear: nothing is opened
        command.path.clear();
    }
    return command;
}

} // namespace corvex
