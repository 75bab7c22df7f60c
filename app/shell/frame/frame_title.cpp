#include "frame_title.h"

#include "string_table.h"

namespace corvex {

std::string frameTitle(int instanceNumber, const std::string& profilePath) {
    std::string title =
        formatString(loadString(str::kFrameTitleFormat), {loadString(str::kProductCaption)});
    if (instanceNumber > 1) {
        title = formatString(loadString(str::kFrameTitleInstanceFormat), {title}, {instanceNumber});
    }
    if (!profilePath.empty()) {
        const auto slash = profilePath.find_last_of('/');
        title += " - ";
        title += slash == std::string::npos ? profilePath : profilePath.substr(slash + 1);
    }
    return title;
}

} // namespace corvex
