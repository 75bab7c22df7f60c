#include "mapping/map_file_result.h"

namespace corvex {

std::string MapFileResult::problemText() const {
    constexpr size_t kMaxText = 1024;
    std::string text;
    for (const std::string& problem : problems) {
        if (text.size() + problem.size() + 1 <= kMaxText) {
            text += problem;
            text += '\n';
        }
    }
    return text;
}

} // namespace corvex
