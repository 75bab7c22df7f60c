// The frame's accelerator table "MDIAccel": key combinations written in the portable form
// that key-sequence parsers read ("Ctrl+F5"), each with the command it sends. Plain constant
// data, usable from any thread.
#pragma once

#include "command_ids.h"

#include <array>
#include <string_view>

namespace corvex {

struct Accelerator {
    std::string_view keys;
    int command;
};

inline constexpr std::array<Accelerator, 4> kFrameAccelerators{{
    {"F1", cmd::kContextHelp},
    {"Ctrl+F5", cmd::kTileVertically},
    {"Alt+F5", cmd::kTileHorizontally},
    {"Shift+F5", cmd::kCascade},
}};

} // namespace corvex
