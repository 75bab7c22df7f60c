// The program's Lua scripting: the one script engine of the run, its host on the engine
// client, and the script window opened by the "&Lua Script..." command.
//
// Threads: the user-interface thread only.
#pragma once

#include "lua/engine_lua_host.h"
#include "lua/lua_script_engine.h"
#include "lua/ui/lua_script_window.h"

#include <QPointer>

namespace corvex {

struct SettingsProfile;

class LuaScripts {
public:
    LuaScripts(SettingsProfile& record, EngineLuaHost::PortNames portNames);
    ~LuaScripts(); // closes the window first

    // Opens the window on `client`, or restores it and brings it to the front.
    void open(uint64_t client, QWidget* owner);
    // Destroys the window (the script is unloaded); the open flag keeps its value, so a
    // window open at exit opens again at the next start.
    void close();
    LuaScriptWindow* window() const { return window_; }
    LuaScriptEngine& engine() { return engine_; }

private:
    SettingsProfile& record_;
    EngineLuaHost host_;
    LuaScriptEngine engine_;
    LuaWindowMemory memory_;
    QPointer<LuaScriptWindow> window_;
};

} // namespace corvex
