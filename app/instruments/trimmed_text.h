// Text without the blanks (spaces, tabs, line ends) around it, as the number fields and the
// key map file read their values.
//
// Threads: any (a pure function).
#pragma once

#include <string_view>

namespace corvex {

inline std::string_view trimmedText(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r\n";
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

} // namespace corvex
