// What the player's logic shows; the player window implements it (tests record it).
// Called on the user-interface thread only.
#pragma once

#include "button_states.h"

#include <string>

namespace corvex {

class PlayerView {
public:
    virtual ~PlayerView() = default;
    virtual void showTitle(const std::string& title) = 0;
    virtual void showButtons(const ButtonStates& states) = 0;
    virtual void showPosition(const std::string& text) = 0; // display 1001
    virtual void showLength(const std::string& text) = 0;   // display 1002
    // A beep and a message box captioned "Tunelet".
    virtual void errorBox(const std::string& message) = 0;
};

} // namespace corvex
