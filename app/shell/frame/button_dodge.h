// The About dialog's playful OK button: once the picture is animated, the button moves away
// whenever the cursor comes within 20 pixels of it. Plain geometry.
#pragma once

#include "mdi_layout.h"

#include <random>

namespace corvex {

struct Point {
    int x = 0;
    int y = 0;
};

class ButtonDodge {
public:
    static constexpr int kReach = 20;    // how close the cursor may come
    static constexpr int kStep = 20;     // how far one move goes
    static constexpr int kMaxSteps = 10; // moves in one direction before a jump

    ButtonDodge(Rect dialog, Rect picture, unsigned seed = std::random_device{}());

    // The button's new place when the cursor at `cursor` (coming from `previous`) is too
    // close to `button`; `button` unchanged otherwise. The button moves `kStep` pixels the
    // way the cursor was going, up to `kMaxSteps` times, and jumps to a random free place
    // when the move would leave the dialog or cover the picture.
    Rect react(Rect button, Point cursor, Point previous);

    // Starts counting steps again (the button was put back).
    void reset() { steps_ = 0; }

private:
    bool fits(const Rect& button) const;
    Rect randomPlace(const Rect& button);

    Rect dialog_;
    Rect picture_;
    std::mt19937 random_;
    int steps_ = 0;
};

bool intersects(const Rect& a, const Rect& b);
bool within(const Rect& inner, const Rect& outer);

} // namespace corvex
