// printf-style formatting into a std::string of any length, for the readers' messages
// (whose texts carry "%s" and "%d" placeholders). Any thread.
#pragma once

#include <string>

namespace corvex {

std::string printfText(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace corvex
