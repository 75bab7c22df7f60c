// Where the frame opens: the client rectangle stored at the last exit when some screen shows
// it, moved onto the primary screen when none does, and two thirds of the primary screen's
// available area, centred, when nothing was stored. Plain logic on rectangles; any thread.
#pragma once

#include "mdi_layout.h"

#include <optional>
#include <span>

namespace corvex {

// How much of a window must lie on a screen for the user to reach it there.
inline constexpr int kMinVisibleWidth = 64;
inline constexpr int kMinVisibleHeight = 32;

// `saved`: the client rectangle stored at the last exit, or none. `screens`: the available
// area of every screen, the primary one first (none: `saved`, or a fixed default, as is).
Rect frameOpeningRect(const std::optional<Rect>& saved, std::span<const Rect> screens);

// Whether enough of `window` lies on one of `screens`.
bool reachableOnScreens(const Rect& window, std::span<const Rect> screens);

} // namespace corvex
