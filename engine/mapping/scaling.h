// Scaling of a map value from an item's source range into its target range.
#pragma once

#include <cstdint>

namespace cvx::mapping {

inline constexpr uint16_t kOpenBound = 0xFFFF;

struct ValueRange {
    uint16_t min;
    uint16_t max;
};

// Whether v lies in the range; a bound of 0xFFFF is open.
constexpr bool rangeContains(ValueRange range, int32_t v) {
    return (range.min == kOpenBound || v >= range.min) &&
           (range.max == kOpenBound || v <= range.max);
}

// Scales v from `source` into `target`, anchored at the top: smax gives tmax, smin gives
// tmin, values outside the source range extrapolate. A target with an open bound leaves v
// unscaled. Open source bounds read as 0 and `sourceTop` (127 or 0x3FFF). A source range of
// one value maps to tmin.
int32_t scaleValue(int32_t v, ValueRange source, ValueRange target, int32_t sourceTop);

} // namespace cvx::mapping
