// Reading a profile file whole, and replacing it whole: the new text goes to a temporary file
// in the same folder, which is then renamed over the old one, so a reader sees the old file
// or the new one and never a part.
#pragma once

#include <string>
#include <string_view>

namespace cvx::profile {

// Larger files are not profiles; they are neither read nor replaced.
inline constexpr size_t kMaxProfileBytes = 4u << 20;

enum class ReadStatus {
    Read,    // the file's text
    Missing, // no such file: an empty profile
    Failed,  // it exists but cannot be read (not a regular file, no permission, too large)
};

struct ProfileText {
    ReadStatus status = ReadStatus::Failed;
    std::string text;
};

ProfileText readProfileFile(const std::string& path);

// Replaces the file (the file a symbolic link names, when it is one) with `text`, keeping
// its permissions. False, with the old file untouched, when any step fails.
bool replaceProfileFile(const std::string& path, std::string_view text);

} // namespace cvx::profile
