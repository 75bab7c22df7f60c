// a × b / c with a 64-bit product, rounded to the nearest integer (halves away from zero);
// −1 for a zero divisor.
#pragma once

#include <cstdint>

namespace cvx::midi {

constexpr int32_t mulDiv(int32_t a, int32_t b, int32_t c) {
    if (c == 0) {
        return -1;
    }
    int64_t product = int64_t{a} * b;
    bool negative = (product < 0) != (c < 0);
    uint64_t magnitude = product < 0 ? uint64_t(-product) : uint64_t(product);
    uint64_t divisor = c < 0 ? uint64_t(-int64_t{c}) : uint64_t(c);
    auto quotient = static_cast<int64_t>((magnitude + divisor / 2) / divisor);
    return static_cast<int32_t>(negative ? -quotient : quotient);
}

} // namespace cvx::midi
