// What a hostile or runaway script meets: the instruction limit in every shape of endless
// loop, the memory cap, and the functions that are not there; after each the engine and
// the state go on working.
#include "lua_loopback_rig.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

namespace corvex::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class LuaSandboxTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(rig.ready()); }

    std::vector<std::string> run(const std::string& command) {
        rig.lines().clear();
        rig.engine().command(command);
        return rig.lines();
    }

    // The state answers again after whatever the last command did.
    void expectStillWorking() { EXPECT_THAT(run("=40 + 2"), ElementsAre("42")); }

    LuaLoopbackRig rig;
};

TEST_F(LuaSandboxTest, NoEndlessLoopEscapesTheLimit) {
    const char* const loops[] = {
        "while true do end",
        "local function f() return f() end f()",
        "while true do pcall(function() while true do end end) end",
        "for i = 1, math.maxinteger do pcall(error) end",
        "while true do xpcall(function() while true do end end, function(m) while true do end end) "
        "end",
        "coroutine.wrap(function() while true do end end)()",
        "while true do coroutine.wrap(function() for i = 1, 90 do end end)() end",
        "local co = coroutine.wrap(function() while true do coroutine.yield() end end) "
        "while true do co() end",
        "while true do pcall(debug.sethook) end",
        "local t <close> = setmetatable({}, {__close = function() while true do end end}) "
        "while true do end",
        "string.gsub(string.rep('a', 100000), 'a', function() while true do end end)",
        "table.sort({3, 2, 1, 5, 4}, function(a, b) while true do end end)",
    };
    for (const char* loop : loops) {
        SCOPED_TRACE(loop);
        EXPECT_THAT(run(loop), ElementsAre(HasSubstr(kLimitMessage)));
        expectStillWorking();
    }
}

TEST_F(LuaSandboxTest, TheLimitIsPerEntryAndHoldsInEveryCallBack) {
    // Work that fits in one entry fits in every entry, however many there are.
    for (int i = 0; i < 3; ++i) {
        EXPECT_THAT(run("local n = 0 for i = 1, 50000 do n = n + i end print(n)"),
                    ElementsAre("1250025000"));
    }
    int period = -1;
    rig.engine().setTimerControl([&](int ms) { period = ms; });
    rig.lines().clear();
    ASSERT_TRUE(rig.engine().load(rig.writeScript("loop.lua",
                                                  "function onMidi() while true do end end\n"
                                                  "function onTimer() while true do end end\n"
                                                  "function onStop() while true do end end\n")));
    rig.reattach();
    EXPECT_EQ(rig.feed({0x90, 60, 1}), (std::vector<uint8_t>{0x90, 60, 1}));
    EXPECT_THAT(rig.lines(),
                ElementsAre(std::string("[ERR] onMidi: ") + kLimitMessage + " (script disabled)"));
    rig.engine().setActive(true);
    rig.lines().clear();
    rig.engine().timerTick();
    EXPECT_THAT(rig.lines(), ElementsAre(HasSubstr("[ERR] onTimer: ")));
    EXPECT_EQ(period, 0);
    rig.lines().clear();
    rig.engine().unload();
    EXPECT_THAT(rig.lines(), ElementsAre(HasSubstr("[ERR] onStop: ")));
    // A script that loops while loading is stopped there too.
    rig.lines().clear();
    EXPECT_FALSE(rig.engine().load(rig.writeScript("body.lua", "while true do end")));
    EXPECT_THAT(rig.lines(), ElementsAre(std::string("[ERR] ") + kLimitMessage));
}

TEST_F(LuaSandboxTest, TheDebugLibraryCannotTouchTheHook) {
    const std::pair<const char*, const char*> cases[] = {
        {"debug.sethook()", "debug.sethook is not available to scripts"},
        {"debug.sethook(coroutine.create(print), nil)", "debug.sethook is not available"},
        {"print(debug.getregistry, debug.setupvalue, debug.setlocal, debug.getlocal)",
         "nil nil nil nil"},
        {"print(debug.setmetatable, debug.upvaluejoin, debug.setuservalue, debug.debug)",
         "nil nil nil nil"},
        {"print(package.loaded.debug == debug, type(debug.traceback))", "true function"},
        {"setmetatable({}, {__gc = print})", "__gc metamethods are not available to scripts"},
        {"print(getmetatable(setmetatable({}, {__index = {v = 3}})).__index.v)", "3"},
        // The entry's own function, reached through debug.getinfo, refuses to run.
        {"local f = debug.getinfo(2, 'f') if f then f.func(io.stdout) end",
         "cannot be called from a script"},
    };
    for (const auto& [command, line] : cases) {
        SCOPED_TRACE(command);
        const std::vector<std::string> lines = run(command);
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_THAT(lines[0], HasSubstr(line));
    }
}

TEST_F(LuaSandboxTest, MemoryIsCappedAndTheProgramGoesOn) {
    const char* const hogs[] = {
        "local s = string.rep('x', 100 * 1024 * 1024)",
        "local t = {} for i = 1, 100 do t[i] = string.rep('x', 1024 * 1024) .. i end",
        "hold = {} for i = 1, 100 do hold[i] = string.rep('y', 1024 * 1024) .. i end",
        "local t = {} for i = 1, 30 do t[#t + 1] = table.concat(t) .. string.rep('z', 1 << 20) end",
    };
    for (const char* hog : hogs) {
        SCOPED_TRACE(hog);
        EXPECT_THAT(run(hog), ElementsAre("[ERR] not enough memory"));
        expectStillWorking();
    }
    // A global keeps what it got before the cap; freeing it makes room again.
    EXPECT_THAT(run("=type(hold)"), ElementsAre("table"));
    EXPECT_THAT(run("hold = nil collectgarbage() local s = string.rep('x', 16 << 20) print(#s)"),
                ElementsAre(std::to_string(16 << 20)));
}

TEST_F(LuaSandboxTest, ForbiddenFunctionsAreNotThere) {
    const std::string folder = rig.folder().string();
    std::ofstream(rig.folder() / "helper.lua") << "return { answer = 42 }";
    std::ofstream(rig.folder() / "binary.lua") << "\x1bLua";
    ASSERT_TRUE(rig.engine().load(rig.writeScript("main.lua", "")));
    const std::pair<std::string, std::string> cases[] = {
        {"print(os.exit, os.execute, io.popen, package.loadlib)", "nil nil nil nil"},
        {"print(io.read, io.input, io.stdin)", "nil nil nil"},
        {"print(package.cpath, #package.searchers)", " 2"},
        {"print(select(2, load(string.dump(function() end), 'x', 'b')))",
         "attempt to load a binary chunk (mode is 't')"},
        {"print(pcall(dofile))", "false dofile needs a file name in scripts"},
        {"print(pcall(loadfile))", "false loadfile needs a file name in scripts"},
        {"print(pcall(io.lines))", "false io.lines needs a file name in scripts"},
        {"print(pcall(require, 'binary'))", "attempt to load a binary chunk"},
        {"print(pcall(require, 'no.such.module'))", "module 'no.such.module' not found"},
        {"print(require('helper').answer)", "42"},
        {"local f = io.open('" + folder +
             "/data.txt', 'w') f:write('kept') f:close() "
             "print(io.lines('" +
             folder + "/data.txt')())",
         "kept"},
        {"print(load('return ...', 'x', 'bt', {})(5))", "5"},
        // An explicit nil environment is kept: the chunk sees no globals.
        {"print(pcall(load('return print', 'x', 't', nil)))", "(upvalue '_ENV')"},
    };
    for (const auto& [command, line] : cases) {
        SCOPED_TRACE(command);
        const std::vector<std::string> lines = run(command);
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_THAT(lines[0], HasSubstr(line));
    }
}

} // namespace
} // namespace corvex::testing
