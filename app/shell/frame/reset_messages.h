// The SysEx reset messages of the Send menu: General MIDI System On, GS Reset and XG System
// On. Plain constant data.
#pragma once

#include <cstdint>
#include <span>

namespace corvex {

// The message command `id` (kGmOn, kGsOn, kXgOn) sends; empty for any other id.
std::span<const uint8_t> resetMessageFor(int id);

} // namespace corvex
