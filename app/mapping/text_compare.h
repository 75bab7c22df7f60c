// Small text helpers of the map readers: ASCII case folding and trimming. Any thread.
#pragma once

#include <string_view>

namespace corvex {

bool equalsIgnoringCase(std::string_view a, std::string_view b);

// `text` without blanks (space, tab, CR, LF, vertical tab, form feed) at either end.
std::string_view trimBlanks(std::string_view text);

} // namespace corvex
