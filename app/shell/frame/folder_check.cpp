#include "folder_check.h"

#include <filesystem>

namespace corvex {
namespace {

bool acceptable(const std::string& before, const std::string& after) {
    if (after == before) {
        return true;
    }
    std::error_code error;
    return !after.empty() && std::filesystem::is_directory(after, error);
}

} // namespace

FolderField firstInvalidFolder(const FolderSettings& stored, const FolderSettings& edited) {
    if (!acceptable(stored.mapFolder, edited.mapFolder)) {
        return FolderField::Map;
    }
    if (!acceptable(stored.sysexFolder, edited.sysexFolder)) {
        return FolderField::SysEx;
    }
    if (!acceptable(stored.snapshotFolder, edited.snapshotFolder)) {
        return FolderField::Snapshot;
    }
    return FolderField::None;
}

} // namespace corvex
