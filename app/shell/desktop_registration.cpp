#include "shell/desktop_registration.h"

#include "ini/profile_file.h"
#include "shell/desktop_entry_texts.h"

#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace corvex {
namespace {

// Runs `tool folder` and waits; false when it cannot be started or fails.
bool runTool(const char* tool, const std::string& folder) {
    std::string toolName(tool);
    std::string argument(folder);
    char* argv[] = {toolName.data(), argument.data(), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, tool, nullptr, nullptr, argv, environ) != 0) {
        return false;
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool writeFile(const std::filesystem::path& path, const std::string& text) {
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    return cvx::profile::replaceProfileFile(path.string(), text);
}

} // namespace

std::string entryStartingFrom(const std::string& entry, const std::string& folder) {
    std::string text;
    size_t start = 0;
    while (start < entry.size()) {
        const size_t end = std::min(entry.find('\n', start), entry.size());
        std::string line = entry.substr(start, end - start);
        for (const char* key : {"Exec=", "TryExec="}) {
            if (line.rfind(key, 0) == 0) {
                line.insert(std::char_traits<char>::length(key), folder + "/");
            }
        }
        text += line + "\n";
        start = end + 1;
    }
    return text;
}

DesktopRegistration registerWithDesktop(const DesktopFolders& folders,
                                        const std::string& programFolder) {
    if (folders.dataHome.empty()) {
        return {false, "corvex: there is no data folder (HOME and XDG_DATA_HOME are unset); "
                       "the file types were not registered."};
    }
    const std::filesystem::path data(folders.dataHome);
    const std::filesystem::path mime = data / "mime";
    const std::filesystem::path applications = data / "applications";
    if (!writeFile(mime / "packages" / "corvex.xml", kFileTypesPackage) ||
        !writeFile(applications / "corvex.desktop",
                   entryStartingFrom(kCorvexDesktopEntry, programFolder)) ||
        !writeFile(applications / "tunelet.desktop",
                   entryStartingFrom(kPlayerDesktopEntry, programFolder))) {
        return {false, "corvex: could not write the file types and desktop entries below " +
                           folders.dataHome + "."};
    }
    if (!runTool("update-mime-database", mime.string())) {
        return {true, "corvex: the file types were written to " + mime.string() +
                          ", but update-mime-database could not be run; the desktop will "
                          "know them after its next update."};
    }
    runTool("update-desktop-database", applications.string()); // optional: a cache only
    return {true, {}};
}

} // namespace corvex
