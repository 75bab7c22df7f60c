#include "settings/folders.h"

#include "ini/engine_folder.h"
#include "ini/engine_settings.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#ifndef CVX_INSTALL_DATADIR
#define CVX_INSTALL_DATADIR "/usr/local/share"
#endif

namespace corvex {

namespace {

namespace fs = std::filesystem;

// An absolute folder from the environment variable, else `fallback` below the home folder.
std::string userFolder(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] == '/') {
        return value;
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
        return {};
    }
    return std::string(home) + "/" + fallback;
}

// XDG_DOCUMENTS_DIR as the desktop's user-dirs.dirs file sets it ("$HOME/..." or an absolute
// path), when the environment does not.
std::string documentsFromUserDirs() {
    std::string config = userFolder("XDG_CONFIG_HOME", ".config");
    const char* home = std::getenv("HOME");
    std::ifstream file(config + "/user-dirs.dirs");
    std::string line;
    const std::string key = "XDG_DOCUMENTS_DIR=\"";
    while (!config.empty() && std::getline(file, line)) {
        if (!line.starts_with(key) || line.size() < key.size() + 1 || line.back() != '"') {
            continue;
        }
        std::string value = line.substr(key.size(), line.size() - key.size() - 1);
        if (value.starts_with("$HOME/") && home != nullptr && home[0] == '/') {
            return std::string(home) + value.substr(5);
        }
        return value.starts_with("/") ? value : std::string();
    }
    return {};
}

std::string runningProgramFolder() {
    std::error_code error;
    fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (error) {
        return {};
    }
    fs::path candidate = program.parent_path().parent_path() / "share" / "corvex";
    return fs::is_directory(candidate, error) ? candidate.string() : std::string();
}

} // namespace

std::string settingsStorePath() {
    std::string config = userFolder("XDG_CONFIG_HOME", ".config");
    return config.empty() ? config : config + "/Corvex/corvex.reg";
}

std::string dataFolder() {
    const char* variable = std::getenv("XDG_DOCUMENTS_DIR");
    std::string documents = (variable == nullptr || variable[0] != '/') ? documentsFromUserDirs()
                                                                        : std::string(variable);
    if (documents.empty()) {
        documents = userFolder("XDG_DOCUMENTS_DIR", "Documents");
    }
    return documents.empty() ? documents : documents + "/Corvex";
}

std::string ensureDataFolder() {
    std::string folder = dataFolder();
    std::error_code error;
    if (folder.empty()) {
        return folder;
    }
    fs::create_directories(folder, error);
    return fs::is_directory(folder, error) ? folder : std::string();
}

std::string engineSettingsFolder() {
    return cvx::core::ensureEngineFolder() ? cvx::core::engineFolderPath() : std::string();
}

std::string engineSettingsFile() {
    return cvx::profile::engineSettingsPath();
}

std::string programFolder() {
    std::string running = runningProgramFolder();
    return running.empty() ? std::string(CVX_INSTALL_DATADIR) + "/corvex" : running;
}

} // namespace corvex
