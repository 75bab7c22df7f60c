// The script window offscreen on a real engine client: opening and placement, loading a
// script that then transforms what the loopback input is fed, the command line and its
// history, bypass and reload, the log's trimming, the script timer and closing.
#include "lua_loopback_rig.h"

#include "lua/ui/lua_script_window.h"
#include "settings_profile.h"
#include "support/qt_test_environment.h"

#include "vmidi.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>

namespace corvex::testing {
namespace {

using ::testing::HasSubstr;
using Bytes = std::vector<uint8_t>;

[[maybe_unused]] const auto* const environment = addQtTestEnvironment();

class LuaScriptWindowTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(rig.ready()); }

    void open() {
        window =
            std::make_unique<LuaScriptWindow>(rig.engine(), rig.client(), record, memory, nullptr);
        window->show();
    }

    // Feeds the input cable and lets the window's notices run until `count` bytes reached
    // the output cable (or two seconds passed).
    Bytes feed(const Bytes& bytes, size_t count) {
        vmidiFeed(kInputCable, bytes.data(), static_cast<unsigned>(bytes.size()));
        Bytes output;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (output.size() < count && std::chrono::steady_clock::now() < deadline) {
            vmidiSettle();
            QCoreApplication::processEvents();
            const Bytes more = rig.takeOutput();
            output.insert(output.end(), more.begin(), more.end());
        }
        return output;
    }

    void type(const QString& text) {
        QTest::keyClicks(window->input(), text);
        QTest::keyClick(window->input(), Qt::Key_Return);
    }

    LuaLoopbackRig rig;
    SettingsProfile record = SettingsProfile::defaults();
    LuaWindowMemory memory;
    std::unique_ptr<LuaScriptWindow> window;
};

TEST_F(LuaScriptWindowTest, OpensReadyAtItsPlace) {
    const struct {
        PlacementRect stored;
        QSize size;
    } cases[] = {
        {{0, 0, 0, 0}, {620, 340}},
        {{10, 10, 400, 90}, {620, 340}},  // 80 pixels high: below the least of 81
        {{10, 10, 110, 200}, {620, 340}}, // 100 pixels wide
        {{20, 30, 520, 330}, {500, 300}},
    };
    for (const auto& c : cases) {
        record.display.luaWindowRect = c.stored;
        open();
        EXPECT_EQ(window->geometry().size(), c.size);
        EXPECT_EQ(window->windowTitle(), "Corvex Lua Script");
        EXPECT_EQ(window->logText(),
                  "[INFO] Ready. Use Script > Load Script... to run a .lua file.");
        EXPECT_EQ(window->input()->placeholderText(),
                  "Enter Lua command or =expression (Up/Down for history)...");
        EXPECT_FALSE(window->action(LuaScriptWindow::kReload)->isEnabled());
        EXPECT_FALSE(window->action(LuaScriptWindow::kUnload)->isEnabled());
        EXPECT_FALSE(window->action(LuaScriptWindow::kEditExternally)->isEnabled());
        EXPECT_TRUE(window->action(LuaScriptWindow::kEnable)->isChecked());
        EXPECT_TRUE(record.display.luaWindowOpen);
        window.reset();
    }
}

TEST_F(LuaScriptWindowTest, ALoadedScriptTransformsInputUntilBypassed) {
    open();
    const std::string path =
        rig.writeScript("up.lua", "function onMidi(p, s, d1, d2) return s, d1 + 12, d2 end\n"
                                  "function onStop() local f = io.open('" +
                                      rig.folder().string() + "/stopped', 'w') f:close() end\n");
    window->loadScript(path);
    EXPECT_THAT(window->logText().toStdString(), HasSubstr("[INFO] Loaded: " + path));
    EXPECT_EQ(window->windowTitle(), "Corvex Lua Script - up.lua [Active]");
    EXPECT_EQ(record.options.scriptFolder, rig.folder().string());
    EXPECT_TRUE(window->action(LuaScriptWindow::kUnload)->isEnabled());
    EXPECT_EQ(feed({0x90, 60, 100}, 3), (Bytes{0x90, 72, 100}));

    window->runCommand(LuaScriptWindow::kEnable);
    EXPECT_EQ(window->windowTitle(), "Corvex Lua Script - up.lua [Bypassed]");
    EXPECT_THAT(window->logText().toStdString(), HasSubstr("[INFO] Script bypassed."));
    EXPECT_EQ(feed({0x90, 61, 100}, 3), (Bytes{0x90, 61, 100}));

    window->runCommand(LuaScriptWindow::kReload);
    EXPECT_EQ(window->windowTitle(), "Corvex Lua Script - up.lua [Active]");
    EXPECT_THAT(window->logText().toStdString(), HasSubstr("[INFO] Reloaded: " + path));
    EXPECT_EQ(feed({0x90, 62, 100}, 3), (Bytes{0x90, 74, 100}));

    // Closing runs onStop and stops the divert.
    window->close();
    window.reset();
    EXPECT_TRUE(std::filesystem::exists(rig.folder() / "stopped"));
    EXPECT_FALSE(record.display.luaWindowOpen);
    EXPECT_EQ(rig.feed({0x90, 63, 100}), (Bytes{0x90, 63, 100}));
}

TEST_F(LuaScriptWindowTest, AnOnMidiErrorShowsBypassedInTheTitle) {
    open();
    window->loadScript(rig.writeScript("bad.lua", "function onMidi() error('no') end"));
    EXPECT_EQ(feed({0x90, 60, 100}, 3), (Bytes{0x90, 60, 100}));
    EXPECT_EQ(window->windowTitle(), "Corvex Lua Script - bad.lua [Bypassed]");
    EXPECT_THAT(window->logText().toStdString(), HasSubstr("no (script disabled)"));
    EXPECT_FALSE(window->action(LuaScriptWindow::kEnable)->isChecked());
    window->loadScript(rig.writeScript("good.lua", ""));
    EXPECT_THAT(window->logText().toStdString(),
                HasSubstr("[WARN] Script is currently BYPASSED (use Options > Enable Script to "
                          "activate)."));
}

TEST_F(LuaScriptWindowTest, TheCommandLineRunsLuaAndRemembers) {
    open();
    type("=1+1");
    EXPECT_TRUE(window->logText().endsWith("> =1+1\n2"));
    EXPECT_TRUE(window->input()->text().isEmpty());
    EXPECT_EQ(window->windowTitle(), "Corvex Lua Script - (buffer) [Active]");
    QTest::keyClick(window->input(), Qt::Key_Return);
    EXPECT_TRUE(window->logText().endsWith("2")) << "Enter on an empty line does nothing";

    QTest::keyClick(window->input(), Qt::Key_Up);
    EXPECT_EQ(window->input()->text(), "=1+1");
    EXPECT_EQ(window->input()->selectedText(), "=1+1");
    QTest::keyClick(window->input(), Qt::Key_Up);
    EXPECT_EQ(window->input()->text(), "=1+1");
    QTest::keyClick(window->input(), Qt::Key_Down);
    EXPECT_TRUE(window->input()->text().isEmpty());

    type("corvex.setTimer(1)");
    EXPECT_TRUE(window->scriptTimerRunning());
    EXPECT_EQ(window->scriptTimerPeriod(), 10);
    type("corvex.setTimer(0)");
    EXPECT_FALSE(window->scriptTimerRunning());

    window->runCommand(LuaScriptWindow::kClearLog);
    EXPECT_TRUE(window->logText().isEmpty());
    const QString line(99, QLatin1Char('x'));
    for (int i = 0; i < 330; ++i) {
        window->appendLine(line);
    }
    EXPECT_LT(window->logText().size(), 20000) << "the older half went at once";
    EXPECT_GT(window->logText().size(), 16000);
}

TEST_F(LuaScriptWindowTest, TheScriptTimerTicksOnTheEventLoop) {
    open();
    window->loadScript(rig.writeScript(
        "tick.lua",
        "ticks = 0 function onStart() corvex.setTimer(10) end "
        "function onTimer() ticks = ticks + 1 if ticks == 3 then error('third') end end"));
    EXPECT_TRUE(window->scriptTimerRunning());
    for (int i = 0; i < 200 && window->scriptTimerRunning(); ++i) {
        QTest::qWait(10);
    }
    EXPECT_FALSE(window->scriptTimerRunning()) << "the error stopped the timer";
    EXPECT_EQ(window->windowTitle(), "Corvex Lua Script - tick.lua [Bypassed]");
    EXPECT_THAT(window->logText().toStdString(), HasSubstr("third (script disabled)"));
}

} // namespace
} // namespace corvex::testing
