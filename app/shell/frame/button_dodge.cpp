#include "button_dodge.h"

#include <algorithm>
#include <cstdlib>

namespace corvex {
namespace {

// Distance from a point to a rectangle (0 inside), per axis, as the larger of the two.
int distance(const Rect& r, Point p) {
    const int dx = std::max({r.x - p.x, 0, p.x - (r.x + r.width - 1)});
    const int dy = std::max({r.y - p.y, 0, p.y - (r.y + r.height - 1)});
    return std::max(dx, dy);
}

int sign(int value) {
    return (value > 0) - (value < 0);
}

} // namespace

bool intersects(const Rect& a, const Rect& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height &&
           b.y < a.y + a.height;
}

bool within(const Rect& inner, const Rect& outer) {
    return inner.x >= outer.x && inner.y >= outer.y &&
           inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

ButtonDodge::ButtonDodge(Rect dialog, Rect picture, unsigned seed)
    : dialog_(dialog), picture_(picture), random_(seed) {}

bool ButtonDodge::fits(const Rect& button) const {
    return within(button, dialog_) && !intersects(button, picture_);
}

Rect ButtonDodge::react(Rect button, Point cursor, Point previous) {
    if (distance(button, cursor) > kReach) {
        return button;
    }
    int dx = sign(cursor.x - previous.x);
    int dy = sign(cursor.y - previous.y);
    if (dx == 0 && dy == 0) {
        // No motion to follow: away from the cursor, from the button's centre.
        dx = sign(button.x + button.width / 2 - cursor.x);
        dy = sign(button.y + button.height / 2 - cursor.y);
        if (dx == 0 && dy == 0) {
            dy = -1;
        }
    }
    Rect moved{button.x + dx * kStep, button.y + dy * kStep, button.width, button.height};
    if (steps_ < kMaxSteps && fits(moved)) {
        ++steps_;
        return moved;
    }
    steps_ = 0;
    return randomPlace(button);
}

Rect ButtonDodge::randomPlace(const Rect& button) {
    const int spanX = std::max(0, dialog_.width - button.width);
    const int spanY = std::max(0, dialog_.height - button.height);
    std::uniform_int_distribution<int> pickX(0, spanX);
    std::uniform_int_distribution<int> pickY(0, spanY);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const Rect candidate{dialog_.x + pickX(random_), dialog_.y + pickY(random_), button.width,
                             button.height};
        if (fits(candidate)) {
            return candidate;
        }
    }
    return button; // a dialog with no free place: stay
}

} // namespace corvex
