#include "dropped_files.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace corvex {
namespace {

// Profiles are small INI files; anything far larger is not read whole to be tested.
constexpr std::uintmax_t kLargestProfile = 4 * 1024 * 1024;

std::string lowerExtension(const std::string& path) {
    const auto dot = path.find_last_of('.');
    const auto slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return {};
    }
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

bool isRegularFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

bool isProfileFile(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error || size == 0 || size > kLargestProfile) {
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return in.good() || in.eof() ? looksLikeProfileText(bytes) : false;
}

// Length of the UTF-8 sequence that starts with `lead`, 0 when `lead` cannot start one.
int sequenceLength(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    return 0;
}

bool allowedControl(unsigned char c) {
    return c == '\t' || c == '\r' || c == '\n';
}

} // namespace

bool looksLikeProfileText(const std::string& bytes) {
    if (bytes.empty()) {
        return false;
    }
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const int length = sequenceLength(lead);
        if (length == 0 || i + length > bytes.size()) {
            return false;
        }
        if (length == 1 && (lead < 0x20 || lead == 0x7F) && !allowedControl(lead)) {
            return false;
        }
        for (int k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        if (length > 2) {
            // Overlong forms, surrogates and values above U+10FFFF.
            const auto second = static_cast<unsigned char>(bytes[i + 1]);
            if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
                (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F)) {
                return false;
            }
        }
        i += static_cast<std::size_t>(length);
    }
    return true;
}

DroppedFileKind classifyDroppedFile(const std::string& path) {
    if (path.empty() || !isRegularFile(path)) {
        return DroppedFileKind::Unsuitable;
    }
    std::string lower = path;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower.ends_with("corvex") || lower.ends_with("corvex.exe")) {
        return DroppedFileKind::Unsuitable; // the program itself
    }
    const std::string ext = lowerExtension(lower);
    if (ext == "syx" || ext == "cbk") {
        return DroppedFileKind::SysEx;
    }
    if (ext == "vxm") {
        return DroppedFileKind::DataMap;
    }
    // Programs, MIDI files and the program's other own files are not taken by a drop.
    if (ext == "exe" || ext == "mid" || ext == "mff" || ext == "txm" || ext == "mxs" ||
        ext == "pmi") {
        return DroppedFileKind::Unsuitable;
    }
    return isProfileFile(path) ? DroppedFileKind::Profile : DroppedFileKind::Unsuitable;
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
