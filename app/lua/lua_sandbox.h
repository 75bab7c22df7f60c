// One Lua interpreter state for user scripts, with the standard libraries minus everything
// that could leave the sandbox or hang the program, a memory cap, and an instruction limit
// on every entry into the script.
//
// What scripts do not get: os.exit, os.execute, io.popen, package.loadlib, C modules
// (package.cpath is empty and the C searchers are gone), binary chunks (load, loadfile,
// dofile and require accept text only), standard input (io.read, io.input, io.stdin,
// io.lines and dofile/loadfile without a file name), and the parts of the debug library
// that could change hooks, locals, upvalues, metatables or reach the registry
// (debug.sethook raises an error), and finalisers (setmetatable refuses a metatable with
// __gc: Lua runs finalisers with hooks off, where no limit could stop them). require finds Lua
// modules in the script's folder first, then on the usual Lua path.
//
// The limit: every entry (run()) and the closing of the state run with a count hook that
// raises kLimitMessage once 250,000 virtual-machine instructions were spent in that entry,
// whichever coroutine spent them (new coroutines inherit the hook, and they share the
// entry's budget). Once raised, the error is raised again at every further instruction until
// the entry ends, so pcall and xpcall cannot swallow it (xpcall's message handler, which Lua
// runs with hooks off for an error raised by a hook, is skipped for it).
//
// The memory cap: an allocator that refuses to grow the state beyond its limit; Lua turns
// the refusal into a "not enough memory" error that ends the entry.
//
// Threads: one thread at a time (the user-interface thread in the program).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct lua_State;
struct lua_Debug;

namespace corvex {

inline constexpr size_t kDefaultScriptMemoryLimit = size_t{64} << 20;
inline constexpr int64_t kInstructionLimit = 250000;
inline constexpr const char* kLimitMessage =
    "Script execution limit exceeded (possible infinite loop)";

class LuaSandbox {
public:
    // The body of one entry: runs inside a protected call with the state's stack as the
    // caller left it (plus nothing); it may push results, which stay on the stack.
    using Body = int (*)(lua_State* state, void* context);

    struct Outcome {
        bool ok = true;
        bool hasMessage = false; // the error was a string (or a number)
        std::string message;
    };

    // `moduleFolder` is searched first by require. state() is null when the state could
    // not be made (no memory).
    explicit LuaSandbox(size_t memoryLimit = kDefaultScriptMemoryLimit,
                        const std::string& moduleFolder = {});
    ~LuaSandbox(); // closes the state, its finalisers under the limit
    LuaSandbox(const LuaSandbox&) = delete;
    LuaSandbox& operator=(const LuaSandbox&) = delete;

    lua_State* state() const { return state_; }

    // Runs `body` as one entry; on success its `results` results are left on the stack for
    // the caller to read and pop, on failure nothing is left.
    Outcome run(Body body, void* context, int results = 0);

    // Whether the entry running now used up its instructions.
    bool limitReached() const { return exceeded_; }

    // Bytes the state holds now.
    size_t memoryInUse() const { return used_ > 0 ? static_cast<size_t>(used_) : 0; }

private:
    static void* allocate(void* self, void* block, size_t oldSize, size_t newSize);
    static void countHook(lua_State* state, lua_Debug* debug);
    static int trampoline(lua_State* state);
    void beginEntry();
    void endEntry();

    lua_State* state_ = nullptr;
    ptrdiff_t used_ = 0;
    ptrdiff_t limit_;
    int64_t spent_ = 0;     // instructions counted in the current entry
    bool exceeded_ = false; // the current entry hit the limit
    Body body_ = nullptr;   // the entry running now
    void* context_ = nullptr;
};

} // namespace corvex
