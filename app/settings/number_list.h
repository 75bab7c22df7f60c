// Reading lists of decimal numbers as profile and legacy values write them ("1,2,3",
// "1, 2 3"). Pure function, callable from any thread.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace corvex {

// The leading numbers of `text`, separated by commas, blanks or tabs, at most `limit`;
// reading stops at anything that is not a number.
std::vector<long long> leadingNumbers(std::string_view text, size_t limit);

} // namespace corvex
