// Profile-string reads and writes on a file, as the platform's profile functions do them:
// a missing file, section or key reads as the default; a write creates what is missing and
// keeps the rest of the file; a write of no value deletes the key.
#pragma once

#include <string>
#include <string_view>

namespace cvx::profile {

class ProfileDocument;

std::string readProfileString(const std::string& path, std::string_view section,
                              std::string_view key, std::string_view fallback);

// The value's leading integer: blanks, an optional sign and decimal digits, 0 when there are
// no digits, clamped to the int range. A missing key or an empty value reads as `fallback`.
int readProfileInt(const std::string& path, std::string_view section, std::string_view key,
                   int fallback);

// `value` null deletes the key. False when the file cannot be read or replaced or the names
// or value cannot be written (ProfileDocument::set); the file is then left as it was.
bool writeProfileString(const std::string& path, std::string_view section, std::string_view key,
                        const char* value);

// The file's profile; empty when the file is missing or cannot be read.
ProfileDocument loadProfileDocument(const std::string& path);

// readProfileInt on a profile already in memory.
int profileIntOf(const ProfileDocument& document, std::string_view section, std::string_view key,
                 int fallback);

// The integer reading of one value, as readProfileInt does it.
int parseProfileInt(std::string_view value);

} // namespace cvx::profile
