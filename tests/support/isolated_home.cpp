#include "support/isolated_home.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <vector>

namespace cvx::testing {
namespace {

std::string& homeFolder() {
    static std::string folder;
    return folder;
}

std::string temporaryFolder() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/corvex-test-home-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary home folder under " + pattern);
    }
    return buffer.data();
}

void pointAt(const char* variable, const std::string& folder) {
    std::filesystem::create_directories(folder);
    setenv(variable, folder.c_str(), 1);
}

} // namespace

const std::string& isolatedHome() {
    return homeFolder();
}

std::string makeIsolatedHome() {
    const std::string home = temporaryFolder();
    homeFolder() = home;
    setenv("HOME", home.c_str(), 1);
    pointAt("XDG_CONFIG_HOME", home + "/.config");
    pointAt("XDG_DATA_HOME", home + "/.local/share");
    pointAt("XDG_CACHE_HOME", home + "/.cache");
    pointAt("XDG_DOCUMENTS_DIR", home + "/Documents");
    pointAt("XDG_RUNTIME_DIR", home + "/run");
    chmod((home + "/run").c_str(), 0700);
    return home;
}

void removeIsolatedHome() {
    if (homeFolder().empty()) {
        return;
    }
    std::error_code ignored;
    std::filesystem::remove_all(homeFolder(), ignored);
    homeFolder().clear();
}

} // namespace cvx::testing
