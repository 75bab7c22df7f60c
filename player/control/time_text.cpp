#include "time_text.h"

#include <cstdio>

namespace corvex {

std::string timeText(int64_t ms) {
    if (ms < 0) {
        ms = 0;
    }
    long long minutes = ms / 60000;
    long long seconds = ms / 1000 - minutes * 60;
    char text[48];
    std::snprintf(text, sizeof text, "%2.2lld : %2.2lld", minutes, seconds);
    return text;
}

} // namespace corvex
