// Number conversions of script values for MIDI bytes.
#pragma once

#include <cstdint>

struct lua_State;

namespace corvex {

// The value as an integer: integers as they are, other numbers (and numeric strings)
// rounded down, everything else (nil, NaN, out of range) 0.
int64_t luaValueAsInteger(lua_State* state, int index);

// x modulo m, never negative (m > 0).
constexpr int64_t floorModulo(int64_t x, int64_t m) {
    return ((x % m) + m) % m;
}

} // namespace corvex
