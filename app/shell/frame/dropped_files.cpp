#include "dropped_files.h"

#include "profile_file.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace corvex {
namespace {

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The text after the last "." of the file name; empty when the name has none.
std::string extensionOf(const std::string& path) {
    const auto dot = path.find_last_of('.');
    const auto slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return {};
    }
    return path.substr(dot + 1);
}

bool isRegularFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

} // namespace

DroppedFileKind classifyDroppedFile(const std::string& path) {
    if (path.empty() || !isRegularFile(path)) {
        return DroppedFileKind::Unsuitable;
    }
    const std::string lower = lowerCase(path);
    if (lower.ends_with("corvex") || lower.ends_with("corvex.exe")) {
        return DroppedFileKind::Unsuitable; // the program itself
    }
    const std::string ext = extensionOf(lower);
    if (ext == "syx" || ext == "cbk") {
        return DroppedFileKind::SysEx;
    }
    if (ext == "vxm" || ext == "txm") {
        return DroppedFileKind::DataMap; // binary or ASCII
    }
    if (ext == "mxs") {
        return DroppedFileKind::Snapshot; // loaded into the MIDI status view
    }
    // Programs, MIDI files and the program's other own files are not taken by a drop.
    if (ext == "exe" || ext == "mid" || ext == "mff" || ext == "pmi") {
        return DroppedFileKind::Unsuitable;
    }
    return isProfileText(path) ? DroppedFileKind::Profile : DroppedFileKind::Unsuitable;
}

DropDecision decideDrop(const std::vector<std::string>& paths) {
    if (paths.size() != 1) {
        return {};
    }
    const DroppedFileKind kind = classifyDroppedFile(paths.front());
    if (kind == DroppedFileKind::Unsuitable) {
        return {};
    }
    return {kind, paths.front()};
}

} // namespace corvex
