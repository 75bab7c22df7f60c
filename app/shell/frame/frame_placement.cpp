#include "frame_placement.h"

#include <algorithm>

namespace corvex {
namespace {

// Used only when the system names no screen at all.
constexpr Rect kFallbackRect{0, 0, 800, 600};

Rect centredIn(const Rect& screen, int width, int height) {
    width = std::clamp(width, 1, std::max(1, screen.width));
    height = std::clamp(height, 1, std::max(1, screen.height));
    return {screen.x + (screen.width - width) / 2, screen.y + (screen.height - height) / 2, width,
            height};
}

} // namespace

bool reachableOnScreens(const Rect& window, std::span<const Rect> screens) {
    return std::any_of(screens.begin(), screens.end(), [&window](const Rect& screen) {
        const int left = std::max(window.x, screen.x);
        const int top = std::max(window.y, screen.y);
        const int right = std::min(window.x + window.width, screen.x + screen.width);
        const int bottom = std::min(window.y + window.height, screen.y + screen.height);
        return right - left >= std::min(kMinVisibleWidth, window.width) &&
               bottom - top >= std::min(kMinVisibleHeight, window.height);
    });
}

Rect frameOpeningRect(const std::optional<Rect>& saved, std::span<const Rect> screens) {
    const bool usable = saved && saved->width > 0 && saved->height > 0;
    if (screens.empty()) {
        return usable ? *saved : kFallbackRect;
    }
    const Rect& primary = screens.front();
    if (!usable) {
        return centredIn(primary, primary.width * 2 / 3, primary.height * 2 / 3);
    }
    if (reachableOnScreens(*saved, screens)) {
        return *saved;
    }
    return centredIn(primary, saved->width, saved->height);
}

} // namespace corvex
