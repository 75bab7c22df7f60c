#include "ini/engine_folder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace cvx::core {

std::string engineFolderPath() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && dataHome[0] == '/') {
        return std::string(dataHome) + "/Corvex/";
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
        return {};
    }
    return std::string(home) + "/.local/share/Corvex/";
}

bool ensureEngineFolder() {
    std::string path = engineFolderPath();
    if (path.empty()) {
        return false;
    }
    std::error_code error;
    std::filesystem::create_directories(path, error);
    return std::filesystem::is_directory(path, error);
}

} // namespace cvx::core
