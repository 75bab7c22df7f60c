// The frame's rectangle between runs: what is saved is the normal (not minimised or
// maximised) client rectangle, and the same rectangle is restored, onto a screen that shows
// it (frame_placement.h). Saving and restoring the same rectangle keeps the frame from
// creeping by its border on every run.
//
// Threads: user-interface thread only.
#pragma once

#include "settings/window_placement.h"

#include <optional>

class QWidget;

namespace corvex {

// The normal client rectangle of a window (the frame, a view) and whether it is minimised
// or maximised.
WindowGeometry windowGeometryOf(const QWidget& window);

// Gives `frame` the rectangle to open at: `saved` (none on a first start) moved onto a
// screen where needed. With `keepPosition` false (other instances run) only the size is
// used and the system places the frame. The caller shows it in the saved state.
void placeFrame(QWidget& frame, const std::optional<WindowGeometry>& saved, bool keepPosition);

} // namespace corvex
