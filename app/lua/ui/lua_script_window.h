// The Lua script window: a top-level window owned by the main window that hosts the script
// engine. Its menus load, reload, edit, unload and enable the script; the log shows every
// output line; the command line runs Lua with a history (Up/Down); it receives the
// engine's Lua-queue notices (the input pump) and runs the script timer. Its rectangle,
// whether it is open and the script folder are kept in the settings record.
//
// Threads: the user-interface thread only.
#pragma once

#include "lua/command_history.h"
#include "views/message_target.h"

#include <QMainWindow>
#include <QTimer>

#include <cstdint>
#include <string>

class QAction;
class QLineEdit;
class QPlainTextEdit;

namespace corvex {

class LuaScriptEngine;
struct SettingsProfile;

// What outlives the window for the whole program run.
struct LuaWindowMemory {
    CommandHistory history;
    bool alwaysOnTop = false;
};

class LuaScriptWindow : public QMainWindow {
    Q_OBJECT

public:
    // Menu command numbers.
    enum Command : int {
        kLoad = 41001,
        kReload = 41002,
        kEditExternally = 41003,
        kUnload = 41004,
        kClearLog = 41005,
        kClose = 41006,
        kEnable = 41007,
        kAlwaysOnTop = 41008,
    };

    LuaScriptWindow(LuaScriptEngine& engine, uint64_t client, SettingsProfile& record,
                    LuaWindowMemory& memory, QWidget* owner);
    ~LuaScriptWindow() override; // detaches, stops the timer and unloads the script

    // Load Script after its file dialog: `path` becomes the script and its folder the
    // script folder.
    void loadScript(const std::string& path);
    void runCommand(int command);
    QAction* action(int command) const;
    // Appends one line to the log (the first half goes once it holds over 32,000 characters).
    void appendLine(const QString& line);
    QString logText() const;
    QLineEdit* input() const { return input_; }
    bool scriptTimerRunning() const { return scriptTimer_.isActive(); }
    int scriptTimerPeriod() const { return scriptTimer_.interval(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildMenus();
    void buildControls();
    void place();
    void refresh();
    void rememberRectangle();
    void chooseScript();
    void enterCommand();
    void onMessage(uint32_t msg);
    void setScriptTimer(int periodMs);
    void timerTick();

    LuaScriptEngine& engine_;
    uint64_t client_;
    SettingsProfile& record_;
    MessageTarget target_;
    QTimer scriptTimer_;
    LuaWindowMemory& memory_;
    QPlainTextEdit* log_ = nullptr;
    QLineEdit* input_ = nullptr;
};

} // namespace corvex
