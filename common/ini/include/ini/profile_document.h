// A profile (INI) file in memory, read and edited with the platform's profile-string rules:
// section and key names compare without regard to case and with surrounding blanks ignored,
// the first section of a name and the first key of a name in it win, values are trimmed and
// lose one pair of enclosing quotes. Editing changes only the line it concerns: comments,
// order, blank lines, unknown keys and line endings stay as they were.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cvx::profile {

class ProfileDocument {
public:
    ProfileDocument() = default;
    explicit ProfileDocument(std::string_view text);

    // The key's value, or nothing when the section or the key is missing.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // Sets the key, adding the section and the key when missing. False (and no change) for a
    // name or value that would not read back: an empty section or key, a line break, a ']' in
    // the section, a '=' in the key, a key starting with '[' or ';'.
    bool set(std::string_view section, std::string_view key, std::string_view value);

    // Deletes the key's line; false when there is no such key.
    bool remove(std::string_view section, std::string_view key);

    std::string text() const;

private:
    struct Range {
        size_t header; // the section's header line
        size_t end;    // one past its last line
    };

    std::optional<Range> findSection(std::string_view section) const;
    std::optional<size_t> findKey(const Range& range, std::string_view key) const;
    void appendSection(std::string_view section, std::string_view key, std::string_view value);

    std::vector<std::string> lines_;
    std::string lineEnd_ = "\n";
    bool finalLineEnd_ = true;
};

} // namespace cvx::profile
