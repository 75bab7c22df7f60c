#include "shell/desktop_folders.h"

#include <cstdlib>
#include <string_view>

namespace corvex {
namespace {

// A variable's value when it is set and absolute (the rules ignore relative ones).
std::string absoluteVariable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] == '/' ? std::string(value) : std::string();
}

std::string homeFolder(const char* variable, const char* belowHome) {
    std::string folder = absoluteVariable(variable);
    if (folder.empty()) {
        const char* home = std::getenv("HOME");
        if (home != nullptr && home[0] == '/') {
            folder = std::string(home) + belowHome;
        }
    }
    return folder;
}

std::vector<std::string> folderList(const char* variable, std::vector<std::string> fallback) {
    const char* value = std::getenv(variable);
    if (value == nullptr || value[0] == '\0') {
        return fallback;
    }
    std::vector<std::string> folders;
    std::string_view rest(value);
    while (!rest.empty()) {
        const size_t colon = rest.find(':');
        const std::string_view folder = rest.substr(0, colon);
        if (!folder.empty() && folder.front() == '/') {
            folders.emplace_back(folder);
        }
        rest = colon == std::string_view::npos ? std::string_view{} : rest.substr(colon + 1);
    }
    return folders.empty() ? fallback : folders;
}

} // namespace

DesktopFolders desktopFoldersFromEnvironment() {
    return {homeFolder("XDG_CONFIG_HOME", "/.config"), folderList("XDG_CONFIG_DIRS", {"/etc/xdg"}),
            homeFolder("XDG_DATA_HOME", "/.local/share"),
            folderList("XDG_DATA_DIRS", {"/usr/local/share", "/usr/share"})};
}

} // namespace corvex
