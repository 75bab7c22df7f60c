#include "lua/corvex_module.h"

#include "lua/lua_log_text.h"
#include "lua/lua_numbers.h"
#include "lua/lua_script_engine.h"

#include <lua.hpp>

#include <algorithm>
#include <span>

namespace corvex {
namespace {

// The helpers written in Lua, added to the module after the C functions.
constexpr const char* kPrelude = R"lua(
local corvex, tostring, pairs, type, select = corvex, tostring, pairs, type, select
local concat, pack, unpack, format, max = table.concat, table.pack, table.unpack, string.format, math.max
function corvex.dump(v, d)
  d = d or 0
  if type(v) ~= "table" or d >= 2 then return tostring(v) end
  local entries = {}
  for k, val in pairs(v) do
    local key = type(k) == "string" and k or "[" .. tostring(k) .. "]"
    local text = type(val) == "string" and '"' .. val .. '"' or corvex.dump(val, d + 1)
    entries[#entries + 1] = key .. " = " .. text
  end
  if #entries == 0 then return "{}" end
  return "{ " .. concat(entries, ", ") .. " }"
end
function corvex.printf(fmt, ...)
  local args = pack(...)
  for i = 1, args.n do
    if type(args[i]) == "table" then args[i] = corvex.dump(args[i]) end
  end
  corvex.log(format(fmt, unpack(args, 1, args.n)))
end
function corvex.toDisplay(i) return i + 1 end
function corvex.toRaw(n) return max(0, n - 1) end
function corvex.getMsgType(s) if s < 0xF0 then return s & 0xF0 end return s end
function corvex.getChannel(s)
  if s >= 0x80 and s < 0xF0 then return (s & 0x0F) + 1 end
  return 0
end
function corvex.setChannel(s, ch)
  if s < 0xF0 then return (s & 0xF0) | (corvex.toRaw(ch) & 0x0F) end
  return s
end
local notes = { "C ", "C#", "D ", "Eb", "E ", "F ", "F#", "G ", "G#", "A ", "Bb", "B " }
function corvex.noteName(n) return notes[(n % 12) + 1] .. tostring((n // 12) - 1) end
)lua";

LuaScriptEngine& engineOf(lua_State* state) {
    lua_getfield(state, LUA_REGISTRYINDEX, kEngineRegistryKey);
    auto* engine = static_cast<LuaScriptEngine*>(lua_touserdata(state, -1));
    lua_pop(state, 1);
    return *engine;
}

int log(lua_State* state) {
    pushLogLine(state, 1);
    size_t length = 0;
    const char* line = lua_tolstring(state, -1, &length);
    engineOf(state).output(std::string_view(line, length));
    return 0;
}

int sendMidi(lua_State* state) {
    const lua_Integer port = luaL_checkinteger(state, 1);
    const lua_Integer status = luaL_checkinteger(state, 2);
    const lua_Integer data1 = luaL_optinteger(state, 3, 0);
    const lua_Integer data2 = luaL_optinteger(state, 4, 0);
    // Ports past the last index reach no output; keep them so rather than wrap them.
    const int output = port <= 0 ? -1 : static_cast<int>(std::min<lua_Integer>(port - 1, 0xFFFF));
    engineOf(state).host().sendDirect(output, static_cast<uint8_t>(floorModulo(status, 256)),
                                      static_cast<uint8_t>(floorModulo(data1, 128)),
                                      static_cast<uint8_t>(floorModulo(data2, 128)));
    return 0;
}

int sendSysEx(lua_State* state) {
    luaL_checktype(state, 2, LUA_TTABLE);
    const lua_Unsigned length = lua_rawlen(state, 2);
    if (length == 0 || length > 0xFFFF) {
        return 0;
    }
    auto* bytes = static_cast<uint8_t*>(lua_newuserdatauv(state, length, 0));
    for (lua_Unsigned i = 0; i < length; ++i) {
        lua_rawgeti(state, 2, static_cast<lua_Integer>(i + 1));
        bytes[i] = static_cast<uint8_t>(floorModulo(luaValueAsInteger(state, -1), 256));
        lua_pop(state, 1);
    }
    engineOf(state).host().sendSysEx(std::span<const uint8_t>(bytes, length));
    return 0;
}

int pushPorts(lua_State* state, const std::map<int, std::string>& ports) {
    lua_createtable(state, 0, static_cast<int>(ports.size()));
    for (const auto& [index, name] : ports) {
        lua_pushlstring(state, name.data(), name.size());
        lua_rawseti(state, -2, index + 1);
    }
    return 1;
}

// The names are kept by the engine, so no C++ object of this frame is alive when building
// the table raises an error (Lua's errors skip destructors).
int getInPorts(lua_State* state) {
    return pushPorts(state, engineOf(state).openPorts(true));
}

int getOutPorts(lua_State* state) {
    return pushPorts(state, engineOf(state).openPorts(false));
}

int getTimeMs(lua_State* state) {
    lua_pushinteger(state, engineOf(state).host().tickMs());
    return 1;
}

int setTimer(lua_State* state) {
    const lua_Integer ms = luaL_checkinteger(state, 1);
    engineOf(state).startTimer(
        ms <= 0 ? 0 : static_cast<int>(std::clamp<lua_Integer>(ms, 10, 1 << 30)));
    return 0;
}

void setInteger(lua_State* state, const char* name, lua_Integer value) {
    lua_pushinteger(state, value);
    lua_setfield(state, -2, name);
}

} // namespace

void installCorvexModule(lua_State* state, LuaScriptEngine& engine) {
    lua_pushlightuserdata(state, &engine);
    lua_setfield(state, LUA_REGISTRYINDEX, kEngineRegistryKey);

    static constexpr luaL_Reg kFunctions[] = {{"log", log},
                                              {"sendMidi", sendMidi},
                                              {"sendSysEx", sendSysEx},
                                              {"getInPorts", getInPorts},
                                              {"getOutPorts", getOutPorts},
                                              {"getTimeMs", getTimeMs},
                                              {"setTimer", setTimer},
                                              {nullptr, nullptr}};
    luaL_newlib(state, kFunctions);
    setInteger(state, "NOTE_OFF", 128);
    setInteger(state, "NOTE_ON", 144);
    setInteger(state, "POLY_PRESSURE", 160);
    setInteger(state, "CC", 176);
    setInteger(state, "PROGRAM_CHANGE", 192);
    setInteger(state, "CHANNEL_PRESSURE", 208);
    setInteger(state, "PITCH_BEND", 224);
    setInteger(state, "ALL_PORTS", -1);
    lua_getfield(state, -1, "log");
    lua_setglobal(state, "print");
    lua_setglobal(state, "corvex");

    if (luaL_loadbufferx(state, kPrelude, std::char_traits<char>::length(kPrelude), "=corvex",
                         "t") != LUA_OK) {
        lua_error(state);
    }
    lua_call(state, 0, 0);
}

} // namespace corvex
