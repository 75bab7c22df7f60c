// The Lua script engine: at most one script loaded at a time, in a sandboxed state (see
// LuaSandbox), with the `corvex` module, the call-backs onStart, onStop, onMidi, onTimer and
// onCommand, the active/bypassed switch and the pump that runs the messages diverted into
// the engine's Lua queue through onMidi.
//
// Every entry into the script is a protected call under the instruction limit and the
// memory cap; errors become output lines beginning "[ERR] " and never leave the engine.
// An error in onMidi or onTimer bypasses the script (messages then pass unchanged).
//
// Threads: the user-interface thread only. The output sink and the timer control are
// called from inside the script's calls and must not call back into the engine.
#pragma once

#include "lua/lua_host.h"
#include "lua/lua_sandbox.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace corvex {

class LuaScriptEngine {
public:
    using OutputSink = std::function<void(std::string_view line)>;
    // Starts the script timer with this period in milliseconds (0: stops it).
    using TimerControl = std::function<void(int periodMs)>;

    explicit LuaScriptEngine(LuaHost& host, size_t memoryLimit = kDefaultScriptMemoryLimit);
    ~LuaScriptEngine(); // unloads (onStop runs)
    LuaScriptEngine(const LuaScriptEngine&) = delete;
    LuaScriptEngine& operator=(const LuaScriptEngine&) = delete;

    // Without a sink, lines go to standard error.
    void setOutputSink(OutputSink sink) { sink_ = std::move(sink); }
    // Set by the script window while it is open; without it corvex.setTimer does nothing.
    void setTimerControl(TimerControl control) { timerControl_ = std::move(control); }

    // Loads and runs the file in a fresh state, then calls onStart; false (with an "[ERR]"
    // line unless the state could not be made) when it did not load.
    bool load(const std::string& path);
    // Calls onStop and closes the state; the path stays remembered.
    void unload();
    // Runs a typed line: onCommand first, else as a Lua chunk ("=expr" prints expr). Makes
    // a bare state when none exists. False when nothing ran successfully.
    bool command(std::string_view text);
    // One tick of the script timer: onTimer, while active.
    void timerTick();
    // Runs every message waiting in the Lua queue through onMidi and passes on what it lets
    // through. True when the script got bypassed meanwhile.
    bool pumpInput();

    bool hasState() const { return sandbox_ != nullptr; }
    bool active() const { return active_; }
    void setActive(bool on) { active_ = on; }
    bool hasOnMidi() const { return hasOnMidi_; }
    const std::string& scriptPath() const { return path_; }
    // Whether the window should divert input to the script now.
    bool wantsInput() const { return hasState() && active_ && hasOnMidi_; }

    // ---- For the corvex module (called from inside the script) --------------------------------
    LuaHost& host() { return host_; }
    void output(std::string_view line);
    void startTimer(int periodMs);
    // The host's open inputs or outputs, kept until the next call.
    const std::map<int, std::string>& openPorts(bool inputs);

private:
    bool makeState();
    void closeState();
    // Calls global `name` when it is a function; false (with the line "[ERR] name: message"
    // and `errorSuffix`) when it failed.
    bool callBack(const char* name, const char* errorSuffix = "");
    bool runOnMidi(LuaInput& input);

    LuaHost& host_;
    size_t memoryLimit_;
    std::unique_ptr<LuaSandbox> sandbox_;
    bool active_ = true;
    bool hasOnMidi_ = false;
    std::string path_;
    OutputSink sink_;
    TimerControl timerControl_;
    std::map<int, std::string> ports_;
};

} // namespace corvex
