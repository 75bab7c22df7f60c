// The script engine on a real engine client and the loopback cables: what onMidi's results
// do to a message, every call-back's error path, the corvex module's functions and what
// print writes, as a user's script meets them.
#include "lua_loopback_rig.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace corvex::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;

using Bytes = std::vector<uint8_t>;

class LuaScriptEngineTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(rig.ready()); }

    // Loads a script and attaches as the window would.
    void load(const std::string& text) {
        ASSERT_TRUE(rig.engine().load(rig.writeScript("script.lua", text)));
        rig.reattach();
    }

    // Runs a command and returns the lines it wrote.
    std::vector<std::string> run(const std::string& command) {
        rig.lines().clear();
        rig.engine().command(command);
        return rig.lines();
    }

    // What reaches the output cable within two seconds, once `count` bytes arrived.
    Bytes outputOf(size_t count) {
        Bytes bytes;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (bytes.size() < count && std::chrono::steady_clock::now() < deadline) {
            const Bytes more = rig.takeOutput();
            bytes.insert(bytes.end(), more.begin(), more.end());
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return bytes;
    }

    LuaLoopbackRig rig;
};

struct OnMidiCase {
    const char* body;
    Bytes output; // for the input 90 3C 64
};

TEST_F(LuaScriptEngineTest, OnMidiResultsDecideWhatPasses) {
    const OnMidiCase cases[] = {
        {"return true", {0x90, 0x3C, 0x64}},
        {"return false", {}},
        {"", {}},
        {"return nil", {}},
        {"return 'abc'", {}},
        {"return s, d1 + 12, d2", {0x90, 0x48, 0x64}},
        {"return 0x90, 200, 64", {0x90, 0x48, 0x40}},
        {"return s, d1", {0x90, 0x3C, 0x00}},
        {"return '176', 7, 100.7", {0xB0, 0x07, 0x64}},
        {"return 0x1B0, -1, 'x'", {0xB0, 0x7F, 0x00}},
        {"if port ~= 1 then return false end return s | 1, d1, d2", {0x91, 0x3C, 0x64}},
    };
    for (const OnMidiCase& c : cases) {
        SCOPED_TRACE(c.body);
        load(std::string("function onMidi(port, s, d1, d2) ") + c.body + " end");
        EXPECT_EQ(rig.feed({0x90, 0x3C, 0x64}), c.output);
        EXPECT_THAT(rig.lines(), IsEmpty());
    }
}

TEST_F(LuaScriptEngineTest, AnOnMidiErrorBypassesOnceAndMidiKeepsFlowing) {
    load("calls = 0\nfunction onMidi() calls = calls + 1 error('boom') end");
    ASSERT_TRUE(rig.engine().wantsInput());
    EXPECT_EQ(rig.feed({0x90, 0x3C, 0x64, 0x80, 0x3C, 0x00}),
              (Bytes{0x90, 0x3C, 0x64, 0x80, 0x3C, 0x00}));
    ASSERT_EQ(rig.lines().size(), 1u);
    EXPECT_THAT(rig.lines()[0], StartsWith("[ERR] onMidi: "));
    EXPECT_THAT(rig.lines()[0], HasSubstr("script.lua:2: boom (script disabled)"));
    EXPECT_TRUE(rig.engine().hasState());
    EXPECT_FALSE(rig.engine().active());
    EXPECT_FALSE(rig.engine().wantsInput());

    // No longer diverted: the engine routes input itself and the script is not asked.
    const int notices = rig.scriptNotices();
    EXPECT_EQ(rig.feed({0xB0, 0x07, 0x10}), (Bytes{0xB0, 0x07, 0x10}));
    EXPECT_EQ(rig.scriptNotices(), notices);
    EXPECT_EQ(run("=calls"), std::vector<std::string>{"1"});
}

struct ErrorPathCase {
    const char* script;
    void (*act)(LuaScriptEngine&);
    const char* line; // begins the only line written
    const char* ending;
};

TEST_F(LuaScriptEngineTest, EveryCallBackNamesItsErrors) {
    int timerPeriod = -1;
    rig.engine().setTimerControl([&](int ms) { timerPeriod = ms; });
    const ErrorPathCase cases[] = {
        {"function onStart() error('s') end", [](LuaScriptEngine&) {},
         "[ERR] onStart: ", "script.lua:1: s"},
        {"function onStop() error('t') end", [](LuaScriptEngine& e) { e.unload(); },
         "[ERR] onStop: ", "script.lua:1: t"},
        {"function onTimer() error() end", [](LuaScriptEngine& e) { e.timerTick(); },
         "[ERR] onTimer: ", "Runtime error (script disabled)"},
        {"function onCommand() error({}) end", [](LuaScriptEngine& e) { e.command("x"); },
         "[ERR] onCommand: ", "Runtime error"},
        {"", [](LuaScriptEngine& e) { e.command("x ="); },
         "[ERR] input:1: ", "unexpected symbol near <eof>"},
        {"", [](LuaScriptEngine& e) { e.command("error(true)"); }, "[ERR] Command error", ""},
        {"", [](LuaScriptEngine& e) { e.command("error(7)"); }, "[ERR] 7", ""},
    };
    for (const ErrorPathCase& c : cases) {
        SCOPED_TRACE(c.line);
        rig.lines().clear();
        load(c.script);
        c.act(rig.engine());
        ASSERT_EQ(rig.lines().size(), 1u);
        EXPECT_THAT(rig.lines()[0], StartsWith(c.line));
        EXPECT_THAT(rig.lines()[0], ::testing::EndsWith(c.ending));
    }
    EXPECT_FALSE(rig.engine().active()) << "onTimer's error bypassed the script";
    EXPECT_EQ(timerPeriod, 0) << "and stopped its timer";
}

TEST_F(LuaScriptEngineTest, AScriptThatDoesNotLoadLeavesNoState) {
    const struct {
        const char* name;
        const char* text;
        const char* error;
    } cases[] = {
        {"syntax.lua", "function (", "syntax.lua:1: <name> expected near '('"},
        {"throws.lua", "error({})", "[ERR] Unknown Lua load error"},
        {"stop.lua", "function onStop() print('stopped') end error('x')", "stop.lua:1: x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        rig.lines().clear();
        EXPECT_FALSE(rig.engine().load(rig.writeScript(c.name, c.text)));
        EXPECT_FALSE(rig.engine().hasState());
        ASSERT_FALSE(rig.lines().empty());
        EXPECT_THAT(rig.lines()[0], StartsWith("[ERR] "));
        EXPECT_THAT(rig.lines()[0], HasSubstr(c.error));
    }
    EXPECT_THAT(rig.lines(), ElementsAre(HasSubstr("stop.lua:1: x"), "stopped"))
        << "a failed load closes the state as Unload does";
    rig.lines().clear();
    EXPECT_FALSE(rig.engine().load(rig.folder().string() + "/missing.lua"));
    EXPECT_THAT(rig.lines(), ElementsAre(HasSubstr("cannot open")));
}

TEST_F(LuaScriptEngineTest, CallBacksRunAsTheStateAllows) {
    int period = -1;
    rig.engine().setTimerControl([&](int ms) { period = ms; });
    load("function onStart() print('start') end\n"
         "function onStop() print('stop') end\n"
         "function onTimer() print('tick') end\n"
         "function onMidi() print('midi') return true end\n"
         "function onCommand(t) if t == 'hi' then print('hello') return 1 end end\n");
    EXPECT_THAT(rig.lines(), ElementsAre("start"));
    EXPECT_EQ(run("hi"), std::vector<std::string>{"hello"});
    EXPECT_EQ(run("print('not handled')"), std::vector<std::string>{"not handled"});

    rig.engine().setActive(false);
    rig.reattach();
    rig.lines().clear();
    rig.engine().timerTick();
    EXPECT_EQ(rig.feed({0x90, 1, 2}), (Bytes{0x90, 1, 2}));
    EXPECT_THAT(rig.lines(), IsEmpty()) << "bypassed: no onTimer, no onMidi";
    EXPECT_EQ(run("hi"), std::vector<std::string>{"hello"}) << "onCommand runs bypassed";

    rig.engine().setActive(true);
    rig.lines().clear();
    rig.engine().timerTick();
    EXPECT_THAT(rig.lines(), ElementsAre("tick"));
    for (const auto& [ms, expected] : {std::pair{1, 10}, {250, 250}, {0, 0}, {-5, 0}}) {
        run("corvex.setTimer(" + std::to_string(ms) + ")");
        EXPECT_EQ(period, expected) << ms;
    }
    rig.lines().clear();
    EXPECT_TRUE(rig.engine().load(rig.writeScript("other.lua", "print('other')")));
    EXPECT_THAT(rig.lines(), ElementsAre("stop", "other")) << "a new load stops the old script";
}

TEST_F(LuaScriptEngineTest, ACommandWithoutAScriptMakesABareState) {
    EXPECT_FALSE(rig.engine().command(""));
    EXPECT_FALSE(rig.engine().hasState());
    EXPECT_EQ(run("x = 41"), std::vector<std::string>{});
    EXPECT_TRUE(rig.engine().hasState());
    EXPECT_TRUE(rig.engine().scriptPath().empty());
    EXPECT_EQ(run("=x + 1"), std::vector<std::string>{"42"});
    rig.engine().unload();
    EXPECT_FALSE(rig.engine().hasState());
}

TEST_F(LuaScriptEngineTest, PrintAndTheModuleHelpersWriteWhatTheUserExpects) {
    const std::pair<const char*, const char*> cases[] = {
        {"print({a = 1})", "{ a = 1 }"},
        {"print({{2}})", "{ [1] = { [1] = 2 } }"},
        {"print({})", "{ }"},
        {"print('x', nil, 3)", "x nil 3"},
        {"=1+1", "2"},
        {"=x", "nil"},
        {"print(corvex.dump({}), corvex.dump({n = 'v'}), corvex.dump(5))", "{} { n = \"v\" } 5"},
        {"corvex.printf('%d %s %s', 5, {b = true}, nil)", "5 { b = true } nil"},
        {"print(corvex.noteName(60), corvex.noteName(0), corvex.noteName(70))", "C 4 C -1 Bb4"},
        {"print(corvex.getChannel(0xF8), corvex.getChannel(0x93), corvex.setChannel(0x93, 16))",
         "0 4 159"},
        {"print(corvex.getMsgType(0x93), corvex.getMsgType(0xF8), corvex.setChannel(0xF8, 3))",
         "144 248 248"},
        {"print(corvex.toDisplay(0), corvex.toRaw(0), corvex.toRaw(5))", "1 0 4"},
        {"print(corvex.NOTE_OFF, corvex.NOTE_ON, corvex.POLY_PRESSURE, corvex.CC)",
         "128 144 160 176"},
        {"print(corvex.PROGRAM_CHANGE, corvex.CHANNEL_PRESSURE, corvex.PITCH_BEND, "
         "corvex.ALL_PORTS)",
         "192 208 224 -1"},
        {"print(corvex.getInPorts()[1], corvex.getOutPorts()[2], corvex.getOutPorts()[1])",
         "Corvex Loopback 1 Corvex Loopback 2 nil"},
        {"print(math.type(corvex.getTimeMs()), corvex.getTimeMs() >= 0)", "integer true"},
        {"print(print == corvex.log)", "true"},
    };
    for (const auto& [command, line] : cases) {
        SCOPED_TRACE(command);
        const std::vector<std::string> lines = run(command);
        EXPECT_THAT(lines, ElementsAre(line));
    }
    // Pairs come in `next` order; both orders are right.
    EXPECT_THAT(run("corvex.log({s = 'q', [true] = 1.5})")[0],
                ::testing::AnyOf("{ s = \"q\", [true] = 1.5 }", "{ [true] = 1.5, s = \"q\" }"));
    EXPECT_THAT(run("print({{{1}}})")[0], StartsWith("{ [1] = { [1] = table: "));
}

TEST_F(LuaScriptEngineTest, SendingReachesTheRoutedOutputs) {
    const struct {
        const char* command;
        Bytes output;
    } cases[] = {
        {"corvex.sendMidi(corvex.ALL_PORTS, 0x90, 60, 100)", {0x90, 0x3C, 0x64}},
        {"corvex.sendMidi(2, 0x190, 188, -1)", {0x90, 0x3C, 0x7F}},
        {"corvex.sendMidi(2, 0xC0, 5)", {0xC0, 0x05}},
        {"corvex.sendMidi(1, 0x90, 60, 100)", {}},
        {"corvex.sendMidi(99999999999, 0x90, 60, 100)", {}},
        {"corvex.sendSysEx(0, {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7})",
         {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7}},
        {"corvex.sendSysEx(0, {0xF0, 'x', 0x1F7, 2.5, 0xF7})", {0xF0, 0x00, 0xF7, 0x02, 0xF7}},
        {"corvex.sendSysEx(0, {})", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        EXPECT_THAT(run(c.command), IsEmpty());
        EXPECT_EQ(outputOf(c.output.size()), c.output);
    }
    const std::pair<const char*, const char*> misuses[] = {
        {"corvex.sendSysEx(0, 5)", "bad argument #2 to 'sendSysEx' (table expected, got number)"},
        {"corvex.sendMidi('a', 1)", "bad argument #1 to 'sendMidi' (number expected, got string)"},
        {"corvex.sendMidi(1)", "bad argument #2 to 'sendMidi' (number expected, got no value)"},
        {"corvex.setTimer(1.5)", "bad argument #1 to 'setTimer' (number has no integer"},
    };
    for (const auto& [command, error] : misuses) {
        SCOPED_TRACE(command);
        EXPECT_THAT(run(command), ElementsAre(HasSubstr(error)));
    }
}

} // namespace
} // namespace corvex::testing
