// How one line of a profile file reads: a section header, a key line, or neither.
#pragma once

#include <optional>
#include <string_view>

namespace cvx::profile {

std::string_view trimBlanks(std::string_view text);

bool equalNoCase(std::string_view a, std::string_view b);

// The trimmed name of a "[name]" line (to the last ']', or to the end without one).
std::optional<std::string_view> sectionNameOf(std::string_view line);

// The trimmed key of a "key=value" line; nothing for headers, comments (';') and lines
// without '='.
std::optional<std::string_view> keyNameOf(std::string_view line);

// The value of a key line: trimmed, then without one pair of enclosing ' or " quotes.
std::string_view valueOf(std::string_view line);

// A key line's text up to its value (the key, the '=' and the blanks after it).
std::string_view valuePrefixOf(std::string_view line);

} // namespace cvx::profile
