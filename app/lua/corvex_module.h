// The `corvex` module a script sees: logging, sending MIDI and SysEx, the open ports, the
// clock, the script timer, the status constants and the helpers of the prelude; `print`
// becomes corvex.log.
//
// Threads: the engine's thread, inside a protected call of the state.
#pragma once

struct lua_State;

namespace corvex {

class LuaScriptEngine;

inline constexpr const char* kEngineRegistryKey = "CORVEX_LUA_ENGINE_SELF";

// Builds the module in `state` for `engine`; raises a Lua error on failure (no memory).
void installCorvexModule(lua_State* state, LuaScriptEngine& engine);

} // namespace corvex
