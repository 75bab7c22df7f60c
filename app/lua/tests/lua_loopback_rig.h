// A script engine on a real engine client with loopback cables: input cable 0 ("Corvex
// Loopback 1") open and routed, with the generated-event port, to output cable 1 ("Corvex
// Loopback 2"); the Lua queue attached to a recording target. Shared by the script tests,
// the window test and the benchmark.
//
// Threads: the test's thread (it plays the user-interface thread).
#pragma once

#include "lua/engine_lua_host.h"
#include "lua/lua_script_engine.h"

#include "cvxlib.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace corvex::testing {

inline constexpr uint16_t kInputCable = 0;
inline constexpr uint16_t kOutputCable = 1;

// Routes input `input` and the generated-event port (135) to an output.
CPortMap routeFromInputAndGenerated(uint32_t input);

class LuaLoopbackRig {
public:
    explicit LuaLoopbackRig(size_t memoryLimit = kDefaultScriptMemoryLimit);
    ~LuaLoopbackRig();
    LuaLoopbackRig(const LuaLoopbackRig&) = delete;
    LuaLoopbackRig& operator=(const LuaLoopbackRig&) = delete;

    bool ready() const { return client_ != 0 && input_ != nullptr && output_ != nullptr; }
    uint64_t client() const { return client_; }
    HWND scriptTarget() const { return scriptTarget_; }
    LuaScriptEngine& engine() { return engine_; }
    // Every line the engine wrote.
    std::vector<std::string>& lines() { return lines_; }
    const std::filesystem::path& folder() const { return folder_; }

    // Writes `text` to `name` in the rig's own folder and returns the path.
    std::string writeScript(const std::string& name, const std::string& text) const;
    // Attaches the Lua queue again, diverting when the engine wants input (as the window
    // does on every change).
    void reattach();
    // Feeds the bytes into the input cable, waits until they were processed, runs the
    // script's pump, and returns everything that reached the output cable.
    std::vector<uint8_t> feed(const std::vector<uint8_t>& bytes);
    // Takes what reached the output cable so far.
    std::vector<uint8_t> takeOutput();
    // How many WM_CVX_SCRIPTINPUT notices arrived.
    int scriptNotices() const { return notices_.load(); }

private:
    static void record(void* user, uint32_t msg, uintptr_t wParam, intptr_t lParam);

    std::filesystem::path folder_;
    HWND mainTarget_ = nullptr;
    HWND scriptTarget_ = nullptr;
    uint64_t client_ = 0;
    HMIDIIN input_ = nullptr;
    HMIDIOUT output_ = nullptr;
    EngineLuaHost host_;
    LuaScriptEngine engine_;
    std::vector<std::string> lines_;
    std::atomic<int> notices_{0};
};

} // namespace corvex::testing
