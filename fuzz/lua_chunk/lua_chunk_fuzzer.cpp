// Feeds arbitrary bytes to the sandboxed Lua state, twice: once as a chunk run directly in a
// LuaSandbox, once as a script loaded by the LuaScriptEngine with the `corvex` module, fed
// MIDI, a command and timer ticks through a host that records what it is asked to send.
// Nothing may crash, and whatever the chunk did to its globals, the sandbox must still hold:
// the forbidden functions stay absent, debug.sethook still refuses, the memory stays under
// its cap, and an endless loop run afterwards in the same state still hits the limit.
//
// A fuzzed chunk may name any file, so before it runs the functions that write, create or
// remove files (io.open, io.output, os.remove, os.rename, os.tmpname) are taken from its state:
// the fuzzer must not touch the machine it runs on. Scripts keep them in the program.
#include "lua/lua_sandbox.h"
#include "lua/lua_script_engine.h"

#include <lua.hpp>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>

namespace {

constexpr size_t kFuzzMemoryLimit = size_t{8} << 20;

// The script file the engine loads: an anonymous in-memory file, gone with the process.
int scriptFile = -1;
std::string scriptPath;

constexpr std::string_view kNoFileWrites =
    "io.open, io.output, os.remove, os.rename, os.tmpname = nil, nil, nil, nil, nil\n";

struct RunChunk {
    const char* text;
    size_t size;
};

int runChunk(lua_State* state, void* context) {
    auto* chunk = static_cast<RunChunk*>(context);
    if (luaL_loadbufferx(state, chunk->text, chunk->size, "=fuzz", "t") != LUA_OK) {
        return 0; // a syntax error is an answer, not a finding
    }
    lua_call(state, 0, 0);
    return 0;
}

// Pushes true when every forbidden function is still absent and debug.sethook still is the
// refusing one: calling it must raise an error.
constexpr const char* kCheckChunk = R"lua(
local function absent(table, name) return type(table) ~= "table" or rawget(table, name) == nil end
local os, io, package, debug = ...
return absent(os, "exit") and absent(os, "execute") and absent(io, "popen")
  and absent(package, "loadlib") and (package.cpath == "")
  and not pcall(debug.sethook, function() end, "", 0)
)lua";

struct Check {
    bool sound = false;
};

// Reads the libraries from the registry's loaded table, which scripts cannot rebind by
// assigning globals, and checks them in a fresh chunk.
int checkSandbox(lua_State* state, void* context) {
    if (luaL_loadbufferx(state, kCheckChunk, std::char_traits<char>::length(kCheckChunk), "=check",
                         "t") != LUA_OK) {
        return lua_error(state);
    }
    luaL_getsubtable(state, LUA_REGISTRYINDEX, LUA_LOADED_TABLE);
    for (const char* library : {"os", "io", "package", "debug"}) {
        lua_getfield(state, -1, library);
        lua_insert(state, -2);
    }
    lua_pop(state, 1);
    lua_call(state, 4, 1);
    static_cast<Check*>(context)->sound = lua_toboolean(state, -1) != 0;
    lua_pop(state, 1);
    return 0;
}

int endlessLoop(lua_State* state, void*) {
    luaL_loadstring(state, "while true do end");
    lua_call(state, 0, 0);
    return 0;
}

void expect(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

void fuzzSandbox(std::string_view text) {
    corvex::LuaSandbox sandbox(kFuzzMemoryLimit);
    if (sandbox.state() == nullptr) {
        return;
    }
    RunChunk prologue{kNoFileWrites.data(), kNoFileWrites.size()};
    if (!sandbox.run(runChunk, &prologue).ok) {
        return;
    }
    RunChunk chunk{text.data(), text.size()};
    sandbox.run(runChunk, &chunk);
    expect(sandbox.memoryInUse() <= kFuzzMemoryLimit);

    Check check;
    const corvex::LuaSandbox::Outcome checked = sandbox.run(checkSandbox, &check);
    // Running the check can fail only for want of memory the chunk left allocated.
    expect(!checked.ok || check.sound);

    const corvex::LuaSandbox::Outcome loop = sandbox.run(endlessLoop, nullptr);
    expect(!loop.ok);
    expect(sandbox.limitReached() || loop.message.find("not enough memory") != std::string::npos);
}

// A host with two inputs and two outputs that feeds a fixed set of messages and checks that
// what the script sends is sound MIDI.
class FuzzHost final : public corvex::LuaHost {
public:
    void sendDirect(int output, uint8_t status, uint8_t, uint8_t) override {
        expect(output >= -1);
        expect(status >= 0x80);
    }
    void sendSysEx(std::span<const uint8_t> bytes) override {
        expect(!bytes.empty() && bytes.size() <= 65535);
    }
    void passOn(int, uint8_t, uint8_t, uint8_t) override {}
    bool nextInput(corvex::LuaInput& input) override {
        static constexpr corvex::LuaInput kInputs[] = {
            {0, 0x90, 60, 100}, {1, 0x80, 60, 0}, {0, 0xB3, 7, 127}, {255, 0xF8, 0, 0}};
        if (fed_ == std::size(kInputs)) {
            return false;
        }
        input = kInputs[fed_++];
        return true;
    }
    std::map<int, std::string> openInputs() const override { return {{0, "In A"}, {1, "In B"}}; }
    std::map<int, std::string> openOutputs() const override { return {{0, "Out A"}, {3, "Out B"}}; }
    uint32_t tickMs() const override { return 1000; }

private:
    size_t fed_ = 0;
};

void fuzzEngine(std::string_view text) {
    if (ftruncate(scriptFile, 0) != 0 ||
        pwrite(scriptFile, kNoFileWrites.data(), kNoFileWrites.size(), 0) < 0 ||
        pwrite(scriptFile, text.data(), text.size(), kNoFileWrites.size()) < 0) {
        std::abort();
    }

    FuzzHost host;
    corvex::LuaScriptEngine engine(host, kFuzzMemoryLimit);
    engine.setOutputSink([](std::string_view) {});
    engine.setTimerControl([](int) {});
    if (!engine.load(scriptPath)) {
        return;
    }
    engine.pumpInput();
    engine.command("go 1");
    engine.timerTick();
    engine.unload();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    scriptFile = memfd_create("fuzz-script.lua", 0);
    if (scriptFile < 0) {
        std::abort();
    }
    scriptPath = "/proc/self/fd/" + std::to_string(scriptFile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    fuzzSandbox(text);
    fuzzEngine(text);
    return 0;
}
