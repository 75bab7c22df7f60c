#include "lua/lua_numbers.h"

#include <lua.hpp>

#include <cmath>

namespace corvex {

int64_t luaValueAsInteger(lua_State* state, int index) {
    int isInteger = 0;
    const lua_Integer whole = lua_tointegerx(state, index, &isInteger);
    if (isInteger != 0) {
        return whole;
    }
    int isNumber = 0;
    const lua_Number number = lua_tonumberx(state, index, &isNumber);
    if (isNumber == 0 || !std::isfinite(number) || std::fabs(number) >= 9.0e18) {
        return 0;
    }
    return static_cast<int64_t>(std::floor(number));
}

} // namespace corvex
