// The program's frame: the top-level window whose multiple-document area holds the monitors
// and views, with the complete menu bar (each QAction carries its command id), status-bar
// help for every item, one command table that every menu item, accelerator and window
// message goes through, the Window menu's arrangements, the panic reset paced by a timer,
// the GM/GS/XG resets, the frame's option dialogs, help, dropped files, and the frame's
// timers: 2 (flashes the keyboard light every 500 ms while the computer keyboard plays)
// and 42 (checks the devices 350 ms after the last device change).
//
// Threads: user-interface thread only. The program forwards window messages addressed to
// the frame to handleMessage on that thread.
#pragma once

#include "command_rules.h"
#include "command_table.h"
#include "frame_services.h"
#include "panic_sequence.h"

#include <QElapsedTimer>
#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <set>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace corvex {

class FramePrompts;
struct MenuItem;

class FrameWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit FrameWindow(FrameServices& services, QWidget* parent = nullptr);
    ~FrameWindow() override;

    // ---- Views ----------------------------------------------------------------------------
    // Makes the widget for a view kind when its command opens it; a kind without a factory
    // keeps its menu item disabled.
    using ViewFactory = std::function<QWidget*()>;
    void setViewFactory(ViewKind kind, ViewFactory factory);
    // Adds an existing widget as the view of `kind` (the main monitor at start-up) and shows
    // it; the frame owns it from then on.
    QMdiSubWindow* addView(ViewKind kind, QWidget* view);
    // The open view of `kind`, or null.
    QMdiSubWindow* viewWindow(ViewKind kind) const;
    QMdiArea* mdiArea() const { return mdiArea_; }

    // ---- Commands -------------------------------------------------------------------------
    // Runs command `id` as the menu would (WM_COMMAND); false when nobody runs it.
    bool runCommand(int id, int code = 0);
    // The menu action of command `id`, or null.
    QAction* action(int id) const;
    // Check marks that other parts own (data map, patch map, filter, log).
    void setCommandChecked(int id, bool checked);
    // Re-reads which commands the program provides and the state, and updates every item.
    void refreshCommands();
    const CommandTable& commands() const { return commands_; }

    // ---- State ----------------------------------------------------------------------------
    // The saved toggles, applied at start-up.
    void setFrameState(const FrameState& state);
    const FrameState& frameState() const { return state_; }
    // The loaded profile's path for the title; empty for none.
    void setProfilePath(const std::string& path);
    // Context-help topic of the current dialog; 0 for none. F1 opens it.
    void setContextHelpTopic(int topic) { contextHelpTopic_ = topic; }
    // Replaces the user prompts (tests); the frame owns them.
    void setPrompts(std::unique_ptr<FramePrompts> prompts);
    FramePrompts& prompts() { return *prompts_; }
    // Called when the frame is asked to close; returning false keeps it open. Without one
    // the frame closes.
    void setCloseHandler(std::function<bool()> handler) { closeHandler_ = std::move(handler); }

    // ---- Messages and notifications -------------------------------------------------------
    // A window message addressed to the frame (WM_COMMAND, WM_CLOSE, WM_CVX_*). Returns the
    // reply; messages the frame does not know return 0.
    intptr_t handleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);
    // A tool window opened by command `id` has closed (WM_CVX_CHILDCLOSED).
    void toolWindowClosed(int id);
    // A MIDI device arrived or left: restarts the 350 ms check (timer 42).
    void deviceChanged();
    bool deviceCheckPending() const { return deviceTimer_.isActive(); }
    bool keyboardLightTimerActive() const { return keyboardTimer_.isActive(); }
    bool panicRunning() const { return panicRun_.has_value(); }
    // The modeless dialog that receives keyboard navigation (WM_CVX_SETDIALOG).
    QWidget* currentDialog() const { return currentDialog_; }
    // Files dropped on the frame: exactly one usable file is taken (profile, data map or
    // SysEx file); anything else is refused with the "no" cursor flashing three times.
    void dropFiles(const std::vector<std::string>& paths);
    bool refusingDrop() const { return dropRefusalSteps_ > 0; }
    // The context menu of the client area ("MonPopupMenu") for the monitor under the cursor
    // (none: the empty area), with that monitor's marking state; its items run frame
    // commands. The caller owns the menu.
    QMenu* createMonitorPopup(std::optional<ViewKind> monitor, bool marking, QWidget* parent);
    // The picture painted behind the views: the mode and file of the General Options.
    void applyBackground(BackgroundMode mode, const std::string& path);
    BackgroundMode backgroundMode() const { return backgroundMode_; }

signals:
    // The device list changed (after timer 42) or the ports were opened or closed: whatever
    // shows ports (status bar, toolbar) refreshes.
    void portsChanged();
    // The panic reset sent its last message.
    void panicFinished();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void addMenuItems(QMenu* menu, std::span<const MenuItem> items);
    void buildCommandTable();
    void addFrameCommands();
    void addProgramCommands();
    bool provided(int id) const;

    void openView(ViewKind kind);
    void forgetView(QMdiSubWindow* window);
    // The place of a view that was never placed: the input monitor inset by 22 pixels, the
    // main monitor and the routing view filling the area.
    void placeByDefault(ViewKind kind, QMdiSubWindow* window);
    void activateWindow(QMdiSubWindow* window);
    ViewKind activeMonitor() const;
    void closeActiveChild();
    void closeAllChildren();
    void tile(bool stacked);
    void arrangeIcons();
    void openToolWindow(int id);

    void loadProfile();
    void saveProfile();
    void startPanic();
    void panicTick();
    void sendReset(int id);
    void toggleHex(ViewKind monitor);
    void toggleDisplay();
    void togglePassSysEx();
    void toggleKeyboard();
    void switchKeyboardOff();
    void editGeneralOptions();
    void editFolders();
    void openHelpPage(std::string_view page);
    void openHelpTopic(int topic);
    void openWebSite();
    void openReadMe();
    void checkDevices();
    void flashKeyboardLight();
    void refuseDrop();
    void warn(const QString& text);

    FrameServices& services_;
    std::unique_ptr<FramePrompts> prompts_;
    CommandTable commands_;
    QHash<int, QAction*> actions_;
    QMdiArea* mdiArea_ = nullptr;
    // Cleared through each window's destroyed signal.
    std::array<QMdiSubWindow*, kViewKindCount> views_{};
    std::array<ViewFactory, kViewKindCount> viewFactories_{};
    std::set<int> unplacedViews_; // kinds waiting for the area's first size
    FrameState state_;
    std::string profilePath_;
    int contextHelpTopic_ = 0;
    QPointer<QWidget> currentDialog_;
    std::function<bool()> closeHandler_;
    BackgroundMode backgroundMode_ = BackgroundMode::None;
    bool destroying_ = false;

    QTimer deviceTimer_;   // timer 42
    QTimer keyboardTimer_; // timer 2
    bool keyboardLightOn_ = false;

    std::optional<PanicRun> panicRun_;
    QTimer panicTimer_;
    QElapsedTimer panicClock_;
    QTimer dropRefusalTimer_;
    int dropRefusalSteps_ = 0;
};

} // namespace corvex
