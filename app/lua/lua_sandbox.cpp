#include "lua/lua_sandbox.h"

#include <lua.hpp>

#include <cstdio>
#include <cstdlib>

namespace corvex {
namespace {

// Instructions between two calls of the count hook; the limit is a multiple of it.
constexpr int kHookStep = 100;
static_assert(kInstructionLimit % kHookStep == 0);

LuaSandbox*& sandboxOf(lua_State* state) {
    return *static_cast<LuaSandbox**>(lua_getextraspace(state));
}

// The wrappers that keep loading to text chunks and away from standard input, and the Lua
// module searcher that loads text only. Run once per state with the module folder as its
// argument.
constexpr const char* kSandboxChunk = R"lua(
local folder, limitReached = ...
local rawload, rawloadfile, select, error = load, loadfile, select, error
local rawsetmetatable, rawxpcall, rawget, type = setmetatable, xpcall, rawget, type
-- Finalisers and the message handler of an error raised by the limit run with hooks off,
-- so the first are not offered and the second is skipped once the limit is reached.
setmetatable = function(object, metatable)
  if type(metatable) == "table" and rawget(metatable, "__gc") ~= nil then
    error("__gc metamethods are not available to scripts", 2)
  end
  return rawsetmetatable(object, metatable)
end
xpcall = function(body, handler, ...)
  return rawxpcall(body, function(message)
    if limitReached() then return message end
    return handler(message)
  end, ...)
end
load = function(chunk, name, mode, ...)
  if select('#', ...) > 0 then return rawload(chunk, name, "t", (...)) end
  return rawload(chunk, name, "t")
end
loadfile = function(name, mode, ...)
  if name == nil then error("loadfile needs a file name in scripts", 2) end
  if select('#', ...) > 0 then return rawloadfile(name, "t", (...)) end
  return rawloadfile(name, "t")
end
dofile = function(name)
  if name == nil then error("dofile needs a file name in scripts", 2) end
  local chunk, message = rawloadfile(name, "t")
  if not chunk then error(message, 2) end
  return chunk()
end
local lines = io.lines
io.lines = function(name, ...)
  if name == nil then error("io.lines needs a file name in scripts", 2) end
  return lines(name, ...)
end
if folder ~= "" then
  package.path = folder .. "/?.lua;" .. folder .. "/?/init.lua;" .. package.path
end
package.cpath = ""
local searchpath, preload = package.searchpath, package.searchers[1]
package.searchers = { preload, function(name)
  local path, message = searchpath(name, package.path)
  if not path then return message end
  local chunk, failure = rawloadfile(path, "t")
  if not chunk then
    error(("error loading module '%s' from file '%s':\n\t%s"):format(name, path, failure), 2)
  end
  return chunk, path
end }
)lua";

void clearField(lua_State* state, const char* table, const char* field) {
    lua_getglobal(state, table);
    lua_pushnil(state);
    lua_setfield(state, -2, field);
    lua_pop(state, 1);
}

int refuseSetHook(lua_State* state) {
    return luaL_error(state, "debug.sethook is not available to scripts");
}

// The debug library scripts get: reading only, nothing that changes hooks, locals, upvalues
// or metatables, nothing that reaches the registry or C temporaries.
void restrictDebug(lua_State* state) {
    lua_getglobal(state, "debug");
    lua_createtable(state, 0, 8);
    for (const char* kept : {"traceback", "getinfo", "getmetatable", "gethook", "upvalueid"}) {
        lua_getfield(state, -2, kept);
        lua_setfield(state, -2, kept);
    }
    lua_pushcfunction(state, refuseSetHook);
    lua_setfield(state, -2, "sethook");
    lua_pushvalue(state, -1);
    lua_setglobal(state, "debug");
    lua_getglobal(state, "package");
    lua_getfield(state, -1, "loaded");
    lua_pushvalue(state, -3);
    lua_setfield(state, -2, "debug");
    lua_pop(state, 4);
}

int limitReached(lua_State* state) {
    lua_pushboolean(state, sandboxOf(state)->limitReached());
    return 1;
}

int setUp(lua_State* state, void* moduleFolder) {
    luaL_openlibs(state);
    clearField(state, "os", "exit");
    clearField(state, "os", "execute");
    clearField(state, "io", "popen");
    clearField(state, "io", "read");
    clearField(state, "io", "input");
    clearField(state, "io", "stdin");
    clearField(state, "package", "loadlib");
    restrictDebug(state);
    if (luaL_loadbufferx(state, kSandboxChunk, std::char_traits<char>::length(kSandboxChunk),
                         "=sandbox", "t") != LUA_OK) {
        return lua_error(state);
    }
    lua_pushstring(state, static_cast<const std::string*>(moduleFolder)->c_str());
    lua_pushcfunction(state, limitReached);
    lua_call(state, 2, 0);
    return 0;
}

// The error object as text without allocating inside the state.
LuaSandbox::Outcome failureOf(lua_State* state) {
    LuaSandbox::Outcome outcome;
    outcome.ok = false;
    if (lua_type(state, -1) == LUA_TSTRING) {
        size_t length = 0;
        const char* text = lua_tolstring(state, -1, &length);
        outcome.message.assign(text, length);
        outcome.hasMessage = true;
    } else if (lua_type(state, -1) == LUA_TNUMBER) {
        char text[64];
        if (lua_isinteger(state, -1)) {
            std::snprintf(text, sizeof text, "%lld",
                          static_cast<long long>(lua_tointeger(state, -1)));
        } else {
            std::snprintf(text, sizeof text, "%.14g", static_cast<double>(lua_tonumber(state, -1)));
        }
        outcome.message = text;
        outcome.hasMessage = true;
    }
    return outcome;
}

} // namespace

LuaSandbox::LuaSandbox(size_t memoryLimit, const std::string& moduleFolder)
    : limit_(static_cast<ptrdiff_t>(memoryLimit)) {
    lua_State* state = luaL_newstate();
    if (state == nullptr) {
        return;
    }
    sandboxOf(state) = this;
    used_ = static_cast<ptrdiff_t>(lua_gc(state, LUA_GCCOUNT, 0)) * 1024 +
            lua_gc(state, LUA_GCCOUNTB, 0);
    lua_setallocf(state, &LuaSandbox::allocate, this);
    state_ = state;
    std::string folder = moduleFolder;
    if (!run(setUp, &folder).ok) {
        lua_close(state_);
        state_ = nullptr;
    }
}

LuaSandbox::~LuaSandbox() {
    if (state_ != nullptr) {
        beginEntry(); // finalisers run while closing: they too stay within the limit
        lua_close(state_);
    }
}

LuaSandbox::Outcome LuaSandbox::run(Body body, void* context, int results) {
    if (state_ == nullptr) {
        return Outcome{false, false, {}};
    }
    const int base = lua_gettop(state_);
    const Body outerBody = body_;
    void* const outerContext = context_;
    const bool outermost = body_ == nullptr;
    body_ = body;
    context_ = context != nullptr ? context : this;
    if (outermost) {
        beginEntry();
    }
    lua_pushcfunction(state_, &LuaSandbox::trampoline);
    lua_pushlightuserdata(state_, context_);
    const int status = lua_pcall(state_, 1, results, 0);
    if (outermost) {
        endEntry();
    }
    body_ = outerBody;
    context_ = outerContext;
    if (status == LUA_OK) {
        return Outcome{};
    }
    Outcome outcome = failureOf(state_);
    lua_settop(state_, base);
    return outcome;
}

int LuaSandbox::trampoline(lua_State* state) {
    LuaSandbox* self = sandboxOf(state);
    // Scripts can reach this function through debug.getinfo; only the entry may run it.
    if (self->body_ == nullptr || !lua_islightuserdata(state, 1) ||
        lua_touserdata(state, 1) != self->context_) {
        return luaL_error(state, "this function cannot be called from a script");
    }
    void* context = self->context_ == self ? nullptr : self->context_;
    lua_remove(state, 1);
    return self->body_(state, context);
}

void LuaSandbox::beginEntry() {
    spent_ = 0;
    exceeded_ = false;
    lua_sethook(state_, &LuaSandbox::countHook, LUA_MASKCOUNT, kHookStep);
}

void LuaSandbox::endEntry() {
    lua_sethook(state_, nullptr, 0, 0);
}

void LuaSandbox::countHook(lua_State* state, lua_Debug*) {
    LuaSandbox* self = sandboxOf(state);
    if (!self->exceeded_) {
        const int step = lua_gethookcount(state);
        if (step != kHookStep) { // a coroutine still set to fire at every instruction
            lua_sethook(state, &LuaSandbox::countHook, LUA_MASKCOUNT, kHookStep);
        }
        self->spent_ += step;
        if (self->spent_ < kInstructionLimit) {
            return;
        }
        self->exceeded_ = true;
    }
    // From now on every instruction of this coroutine raises the error again.
    lua_sethook(state, &LuaSandbox::countHook, LUA_MASKCOUNT, 1);
    lua_pushstring(state, kLimitMessage);
    lua_error(state);
}

void* LuaSandbox::allocate(void* user, void* block, size_t oldSize, size_t newSize) {
    auto* self = static_cast<LuaSandbox*>(user);
    const auto held = static_cast<ptrdiff_t>(block != nullptr ? oldSize : 0);
    if (newSize == 0) {
        std::free(block);
        self->used_ -= held;
        return nullptr;
    }
    const auto wanted = static_cast<ptrdiff_t>(newSize);
    if (wanted > held && self->used_ - held + wanted > self->limit_) {
        return nullptr;
    }
    void* grown = std::realloc(block, newSize);
    if (grown != nullptr) {
        self->used_ += wanted - held;
    }
    return grown;
}

} // namespace corvex
