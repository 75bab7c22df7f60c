#include "mapping/scaling.h"

#include "midi/mul_div.h"

namespace cvx::mapping {

int32_t scaleValue(int32_t v, ValueRange source, ValueRange target, int32_t sourceTop) {
    if (target.min == kOpenBound || target.max == kOpenBound) {
        return v;
    }
    int32_t smin = source.min == kOpenBound ? 0 : source.min;
    int32_t smax = source.max == kOpenBound ? sourceTop : source.max;
    // A one-value range is anchored at an artificial top of 1000 so that it maps to tmin.
    int32_t top = smax == smin ? 1000 : smax;
    if (top == smin) {
        // Only a one-value range at exactly 1000 gets here; the formula would divide by 0.
        return target.min;
    }
    return target.max - midi::mulDiv(top - v, target.max - target.min, top - smin);
}

} // namespace cvx::mapping
