// What the frame's status bar shows: the open output and input counts and five cells whose
// state a click toggles (REC, SYX, MAP, KYB, LOG). Plain C++; user-interface thread.
#pragma once

#include <array>
#include <string>

namespace corvex {

struct StatusCell {
    const char* label;
    int command; // sent to the frame when the cell is clicked
};

// REC (33200), SYX (33165), MAP (33203), KYB (33252), LOG (33201), left to right.
const std::array<StatusCell, 5>& statusCells();

// "No Output Device", "1 Output Device", "%d Output Devices"; "No ..." while MIDI is
// released whatever the count.
std::string outputCountText(int count, bool released);
std::string inputCountText(int count, bool released);

// A double click on a cell arrives as a click, a double click and another click; the click
// after the double click is ignored so that a double click toggles once.
class CellClickGuard {
public:
    // True when this click toggles.
    bool acceptClick();
    void doubleClicked() { skipNext_ = true; }

private:
    bool skipNext_ = false;
};

} // namespace corvex
