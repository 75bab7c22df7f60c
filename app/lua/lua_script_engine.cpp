#include "lua/lua_script_engine.h"

#include "lua/corvex_module.h"
#include "lua/lua_numbers.h"

#include <lua.hpp>

#include <cstdio>
#include <filesystem>

namespace corvex {
namespace {

constexpr const char* kRuntimeError = "Runtime error";

std::string messageOf(const LuaSandbox::Outcome& outcome, const char* fallback) {
    return outcome.hasMessage ? outcome.message : std::string(fallback);
}

std::string folderOf(const std::string& path) {
    return path.empty() ? std::string() : std::filesystem::path(path).parent_path().string();
}

// ---- Entry bodies (inside the protected call; no C++ object with a destructor may be alive
// while a Lua call can raise an error) -----------------------------------------------------

int installModule(lua_State* state, void* engine) {
    installCorvexModule(state, *static_cast<LuaScriptEngine*>(engine));
    return 0;
}

int runFile(lua_State* state, void* path) {
    if (luaL_loadfilex(state, static_cast<const std::string*>(path)->c_str(), "t") != LUA_OK) {
        return lua_error(state);
    }
    lua_call(state, 0, 0);
    return 0;
}

// Leaves true when global `name` is a function.
int hasFunction(lua_State* state, void* name) {
    lua_getglobal(state, static_cast<const char*>(name));
    lua_pushboolean(state, lua_isfunction(state, -1));
    lua_remove(state, -2);
    return 1;
}

// Calls global `name` without arguments when it is a function.
int callGlobal(lua_State* state, void* name) {
    if (lua_getglobal(state, static_cast<const char*>(name)) == LUA_TFUNCTION) {
        lua_call(state, 0, 0);
    }
    return 0;
}

struct CommandCall {
    const char* text;
    size_t length;
};

// Leaves two booleans: onCommand exists, and it took the command.
int callOnCommand(lua_State* state, void* call) {
    const auto* command = static_cast<const CommandCall*>(call);
    if (lua_getglobal(state, "onCommand") != LUA_TFUNCTION) {
        lua_pop(state, 1);
        lua_pushboolean(state, 0);
        lua_pushboolean(state, 0);
        return 2;
    }
    lua_pushlstring(state, command->text, command->length);
    lua_call(state, 1, 1);
    lua_pushboolean(state, 1);
    lua_insert(state, -2);
    lua_pushboolean(state, lua_toboolean(state, -1));
    lua_remove(state, -2);
    return 2;
}

int runChunk(lua_State* state, void* call) {
    const auto* chunk = static_cast<const CommandCall*>(call);
    if (luaL_loadbufferx(state, chunk->text, chunk->length, "=input", "t") != LUA_OK) {
        return lua_error(state);
    }
    lua_call(state, 0, 0);
    return 0;
}

// Leaves onMidi's three results, or true, nil, nil when there is no onMidi.
int callOnMidi(lua_State* state, void* message) {
    const auto* input = static_cast<const LuaInput*>(message);
    if (lua_getglobal(state, "onMidi") != LUA_TFUNCTION) {
        lua_pop(state, 1);
        lua_pushboolean(state, 1);
        lua_pushnil(state);
        lua_pushnil(state);
        return 3;
    }
    lua_pushinteger(state, input->port + 1);
    lua_pushinteger(state, input->status);
    lua_pushinteger(state, input->data1);
    lua_pushinteger(state, input->data2);
    lua_call(state, 4, 3);
    return 3;
}

} // namespace

LuaScriptEngine::LuaScriptEngine(LuaHost& host, size_t memoryLimit)
    : host_(host), memoryLimit_(memoryLimit) {}

LuaScriptEngine::~LuaScriptEngine() {
    timerControl_ = nullptr;
    unload();
}

bool LuaScriptEngine::makeState() {
    closeState();
    sandbox_ = std::make_unique<LuaSandbox>(memoryLimit_, folderOf(path_));
    if (sandbox_->state() == nullptr || !sandbox_->run(installModule, this).ok) {
        sandbox_.reset();
        return false;
    }
    return true;
}

void LuaScriptEngine::closeState() {
    sandbox_.reset();
    hasOnMidi_ = false;
}

bool LuaScriptEngine::load(const std::string& path) {
    unload();
    path_ = path;
    if (!makeState()) {
        return false;
    }
    const LuaSandbox::Outcome outcome = sandbox_->run(runFile, &path_);
    if (!outcome.ok) {
        output("[ERR] " + messageOf(outcome, "Unknown Lua load error"));
        unload();
        return false;
    }
    const LuaSandbox::Outcome check = sandbox_->run(hasFunction, const_cast<char*>("onMidi"), 1);
    if (check.ok) {
        hasOnMidi_ = lua_toboolean(sandbox_->state(), -1) != 0;
        lua_pop(sandbox_->state(), 1);
    }
    callBack("onStart");
    return true;
}

void LuaScriptEngine::unload() {
    if (sandbox_ != nullptr) {
        callBack("onStop");
        startTimer(0);
    }
    closeState();
}

bool LuaScriptEngine::callBack(const char* name, const char* errorSuffix) {
    const LuaSandbox::Outcome outcome = sandbox_->run(callGlobal, const_cast<char*>(name));
    if (!outcome.ok) {
        output("[ERR] " + std::string(name) + ": " + messageOf(outcome, kRuntimeError) +
               errorSuffix);
    }
    return outcome.ok;
}

bool LuaScriptEngine::command(std::string_view text) {
    if (text.empty() || (sandbox_ == nullptr && !makeState())) {
        return false;
    }
    CommandCall call{text.data(), text.size()};
    LuaSandbox::Outcome outcome = sandbox_->run(callOnCommand, &call, 2);
    if (!outcome.ok) {
        output("[ERR] onCommand: " + messageOf(outcome, kRuntimeError));
        return false;
    }
    lua_State* state = sandbox_->state();
    const bool handled = lua_toboolean(state, -1) != 0;
    lua_pop(state, 2);
    if (handled) {
        return true;
    }
    std::string code(text);
    if (code.front() == '=') {
        code = "print(" + code.substr(1) + ")";
    }
    call = CommandCall{code.data(), code.size()};
    outcome = sandbox_->run(runChunk, &call);
    if (!outcome.ok) {
        output("[ERR] " + messageOf(outcome, "Command error"));
    }
    return outcome.ok;
}

void LuaScriptEngine::timerTick() {
    if (sandbox_ == nullptr || !active_) {
        return;
    }
    if (!callBack("onTimer", " (script disabled)")) {
        // The line is already out; the script is bypassed and its timer stops.
        active_ = false;
        startTimer(0);
    }
}

bool LuaScriptEngine::pumpInput() {
    bool bypassed = false;
    LuaInput input;
    while (host_.nextInput(input)) {
        if (wantsInput()) {
            if (!runOnMidi(input)) {
                continue;
            }
            bypassed = bypassed || !active_;
        }
        host_.passOn(input.port, input.status, input.data1, input.data2);
    }
    return bypassed;
}

bool LuaScriptEngine::runOnMidi(LuaInput& input) {
    const LuaSandbox::Outcome outcome = sandbox_->run(callOnMidi, &input, 3);
    if (!outcome.ok) {
        output("[ERR] onMidi: " + messageOf(outcome, kRuntimeError) + " (script disabled)");
        active_ = false;
        return true; // this message passes unchanged
    }
    lua_State* state = sandbox_->state();
    bool pass = false;
    if (lua_type(state, -3) == LUA_TBOOLEAN) {
        pass = lua_toboolean(state, -3) != 0;
    } else if (lua_isnumber(state, -3)) {
        pass = true;
        input.status = static_cast<uint8_t>(floorModulo(luaValueAsInteger(state, -3), 256));
        input.data1 = static_cast<uint8_t>(luaValueAsInteger(state, -2) & 0x7F);
        input.data2 = static_cast<uint8_t>(luaValueAsInteger(state, -1) & 0x7F);
    }
    lua_pop(state, 3);
    return pass;
}

void LuaScriptEngine::output(std::string_view line) {
    if (sink_) {
        sink_(line);
    } else {
        std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
    }
}

void LuaScriptEngine::startTimer(int periodMs) {
    if (timerControl_) {
        timerControl_(periodMs);
    }
}

const std::map<int, std::string>& LuaScriptEngine::openPorts(bool inputs) {
    ports_ = inputs ? host_.openInputs() : host_.openOutputs();
    return ports_;
}

} // namespace corvex
