// The time displays' text: minutes and seconds, "MM : SS" (two digits at least).
#pragma once

#include <cstdint>
#include <string>

namespace corvex {

std::string timeText(int64_t ms);

} // namespace corvex
