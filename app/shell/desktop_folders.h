// The folders of the freedesktop base directory rules, read from the environment with their
// documented defaults. Callable from any thread (it reads the environment only).
#pragma once

#include <string>
#include <vector>

namespace corvex {

struct DesktopFolders {
    std::string configHome;              // $XDG_CONFIG_HOME, else ~/.config
    std::vector<std::string> configDirs; // $XDG_CONFIG_DIRS, else /etc/xdg
    std::string dataHome;                // $XDG_DATA_HOME, else ~/.local/share
    std::vector<std::string> dataDirs;   // $XDG_DATA_DIRS, else /usr/local/share, /usr/share
};

// Empty homes when neither the variable nor HOME is set.
DesktopFolders desktopFoldersFromEnvironment();

} // namespace corvex
