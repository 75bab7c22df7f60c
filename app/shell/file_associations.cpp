#include "shell/file_associations.h"

#include "ini/profile_file.h"
#include "ini/profile_strings.h"
#include "shell/mime_apps_list.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <optional>

namespace corvex {
namespace {

constexpr std::array kTypes{
    AssociatedFileType{573, "SysE&x Files (.syx)", ".syx", "application/x-corvex-sysex",
                       "Corvex SysEx", FileTypeOpener::Corvex},
    AssociatedFileType{574, "&Map Files (.vxm)", ".vxm", "application/x-corvex-map", "Corvex Map",
                       FileTypeOpener::Corvex},
    AssociatedFileType{578, "&ASCII Map Files (.txm) -- Text Editor", ".txm",
                       "text/x-corvex-text-map", "Corvex ASCII Map", FileTypeOpener::TextEditor},
    AssociatedFileType{575, "MI&DI Files (.mid) -- Associated with Tunelet", ".mid", "audio/midi",
                       "Corvex MIDI", FileTypeOpener::Player},
    AssociatedFileType{576, "&Snapshot (.mxs)", ".mxs", "application/x-corvex-snapshot",
                       "Corvex Snapshot", FileTypeOpener::Corvex},
    AssociatedFileType{577, "&PatchMap (.pmi)", ".pmi", "application/x-corvex-patch-map",
                       "Corvex PatchMap", FileTypeOpener::Corvex},
};

constexpr char kBackupSection[] = "Backup";
// What a missing backup reads as; never written back as a default.
constexpr char kNoBackup[] = "<Empty>";

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The default for `mimeType` in one list file, or nothing when the file or key is absent.
std::optional<std::string> firstIn(const std::string& path, std::string_view group,
                                   std::string_view mimeType) {
    const cvx::profile::ProfileText file = cvx::profile::readProfileFile(path);
    if (file.status != cvx::profile::ReadStatus::Read) {
        return std::nullopt;
    }
    const std::optional<std::string> value = MimeAppsList(file.text).valueIn(group, mimeType);
    if (!value || firstDesktopId(*value).empty()) {
        return std::nullopt;
    }
    return firstDesktopId(*value);
}

// A free name beside `path` for keeping a damaged file: ".damaged", ".damaged-2", ...
std::string asideName(const std::string& path) {
    std::string name = path + ".damaged";
    for (int n = 2; std::filesystem::exists(name); ++n) {
        name = path + ".damaged-" + std::to_string(n);
    }
    return name;
}

} // namespace

std::span<const AssociatedFileType> associatedFileTypes() {
    return kTypes;
}

FileAssociations::FileAssociations(DesktopFolders folders) : folders_(std::move(folders)) {}

std::string FileAssociations::mimeAppsPath() const {
    return folders_.configHome + "/mimeapps.list";
}

std::string FileAssociations::backupPath() const {
    return folders_.configHome + "/Corvex/associations.ini";
}

// The text editor is whatever the desktop opens plain text with: the first default the
// mimeapps.list files name in their order of precedence, else the first application the
// installed desktop entries offer for it.
std::string FileAssociations::openerOf(const AssociatedFileType& type) const {
    switch (type.opener) {
    case FileTypeOpener::Corvex:
        return kCorvexDesktopId;
    case FileTypeOpener::Player:
        return kPlayerDesktopId;
    case FileTypeOpener::TextEditor:
        break;
    }
    std::vector<std::pair<std::string, const char*>> lists{
        {mimeAppsPath(), "[Default Applications]"}};
    for (const std::string& folder : folders_.configDirs) {
        lists.emplace_back(folder + "/mimeapps.list", "[Default Applications]");
    }
    std::vector<std::string> dataFolders{folders_.dataHome};
    dataFolders.insert(dataFolders.end(), folders_.dataDirs.begin(), folders_.dataDirs.end());
    for (const std::string& folder : dataFolders) {
        lists.emplace_back(folder + "/applications/mimeapps.list", "[Default Applications]");
    }
    for (const std::string& folder : dataFolders) {
        lists.emplace_back(folder + "/applications/mimeinfo.cache", "[MIME Cache]");
    }
    for (const auto& [path, group] : lists) {
        if (std::optional<std::string> editor = firstIn(path, group, "text/plain")) {
            return *editor;
        }
    }
    return {};
}

bool FileAssociations::isAssociated(const AssociatedFileType& type) const {
    const std::string opener = openerOf(type);
    const std::optional<std::string> current =
        firstIn(mimeAppsPath(), "[Default Applications]", type.mimeType);
    return !opener.empty() && current && lowered(*current) == lowered(opener);
}

AssociationOutcome FileAssociations::associate(const AssociatedFileType& type) {
    return change(type, true);
}

AssociationOutcome FileAssociations::disassociate(const AssociatedFileType& type) {
    return change(type, false);
}

AssociationOutcome FileAssociations::change(const AssociatedFileType& type, bool associate) {
    const std::string path = mimeAppsPath();
    const std::string opener = openerOf(type);
    if (associate && opener.empty()) {
        return {false, "No text editor is set up on this desktop to open plain text files, so "
                       "ASCII map files cannot be associated with one."};
    }
    const cvx::profile::ProfileText file = cvx::profile::readProfileFile(path);
    if (file.status == cvx::profile::ReadStatus::Failed) {
        return {false, "The list of default applications " + path + " cannot be read."};
    }
    MimeAppsList list(file.text);
    AssociationOutcome outcome{true, {}};
    if (list.damagedLine() != 0) {
        const std::string aside = asideName(path);
        std::error_code error;
        std::filesystem::copy_file(path, aside, error);
        if (error) {
            return {false, "The list of default applications " + path +
                               " is damaged and could not be kept aside; it was left as it is."};
        }
        outcome.message = "The list of default applications " + path + " was damaged at line " +
                          std::to_string(list.damagedLine()) + "; it was kept as " + aside +
                          " and rewritten with the lines that could be read.";
    }

    const std::string backups = backupPath();
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(backups).parent_path(), error);
    std::filesystem::create_directories(folders_.configHome, error);
    if (associate) {
        const std::optional<std::string> previous = list.defaultFor(type.mimeType);
        if (previous && !firstDesktopId(*previous).empty() &&
            lowered(firstDesktopId(*previous)) != lowered(opener) &&
            !cvx::profile::writeProfileString(backups, kBackupSection, type.mimeType,
                                              previous->c_str())) {
            return {false, "The previous default for " + std::string(type.extension) +
                               " files could not be kept in " + backups + "; nothing was changed."};
        }
        list.setDefault(type.mimeType, opener + ";");
    } else {
        const std::string backup =
            cvx::profile::readProfileString(backups, kBackupSection, type.mimeType, kNoBackup);
        if (backup != kNoBackup && !firstDesktopId(backup).empty()) {
            list.setDefault(type.mimeType, backup);
        } else {
            list.removeDefault(type.mimeType);
        }
    }
    if (!cvx::profile::replaceProfileFile(path, list.text())) {
        return {false, "The list of default applications " + path + " cannot be written."};
    }
    if (!associate) {
        cvx::profile::writeProfileString(backups, kBackupSection, type.mimeType, nullptr);
    }
    return outcome;
}

} // namespace corvex
