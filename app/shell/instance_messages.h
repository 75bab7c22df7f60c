// The frame messages that cross between instances of the program. Their values are fixed:
// other processes send them.
#pragma once

#include <cstdint>

namespace corvex {

// Asks whether the receiver is a live frame of this program; the reply is 1.
inline constexpr uint32_t WM_CVX_PING = 0x8028u;
// Carries the 528-byte hand-off block with a second start's files; the reply is 0 (or -1
// when the block was refused).
inline constexpr uint32_t WM_CVX_HANDOFF = 0x802Au;

} // namespace corvex
