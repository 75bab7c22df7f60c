// Value limits of MIDI data.
#pragma once

#include <cstdint>

namespace cvx::mapping {

inline constexpr int32_t kMax7Bit = 0x7F;
inline constexpr int32_t kMax14Bit = 0x3FFF;

} // namespace cvx::mapping
