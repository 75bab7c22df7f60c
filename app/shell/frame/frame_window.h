// The program's frame: the top-level window whose multiple-document area holds the monitors
// and views. It owns the frame's state and toggles and puts together its collaborators:
// FrameMenus (the menu bar, accelerators and context menu), FrameCommandWiring (the one
// command table every menu item, accelerator and window message goes through), FrameViews
// (the views in the area), FrameEffects (panic reset, keyboard light, dropped files), the
// toolbar and the status bar. Its own timer is the device check, 350 ms after the last
// device change.
//
// Threads: user-interface thread only. The program forwards window messages addressed to
// the frame to handleMessage on that thread.
#pragma once

#include "command_rules.h"
#include "command_table.h"
#include "frame_services.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QColor;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace corvex {

class FrameCommandWiring;
class FrameEffects;
class FrameMenus;
class FramePrompts;
class FrameStatusBar;
class FrameToolBar;
class FrameTrayIcon;
struct ToolBarButtonState;
class FrameViews;

class FrameWindow : public QMainWindow {
    Q_OBJECT

public:
    // The device check's timer keeps the id the frame's timer table gives it.
    static constexpr int kDeviceCheckTimerId = 42;
    static constexpr int kDeviceCheckDelayMs = 350;
    static constexpr int kTrayWatchMs = 2000;

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
    // Re-reads which commands the program provides and the state, and updates every item
    // and the status bar.
    void refreshCommands();
    FrameStatusBar* frameStatusBar() const { return statusBar_; }
    FrameToolBar* frameToolBar() const { return toolBar_; }
    FrameTrayIcon* trayIcon() const { return tray_.get(); }
    // The status bar cells' colours when on ("StatusBar Active Bkgd", "StatusBar Active Text").
    void setStatusColours(const QColor& background, const QColor& text);
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

    // ---- Tray -----------------------------------------------------------------------------
    // Whether the desktop has a system tray: its own answer when the frame is made; tests
    // set it. Without one the frame never hides: it comes back if it was in the tray.
    void setTrayAvailable(bool available);
    // Starts minimised: into the tray when minimising goes there (--mintray), else as an
    // ordinary minimised window.
    void showMinimizedOrInTray();
    bool hiddenInTray() const { return hiddenInTray_; }
    // The main monitor showed output (WM_CVX_TRAYANIMATE): the icon's next picture.
    void animateTray();

    // ---- Messages and notifications -------------------------------------------------------
    // A window message addressed to the frame (WM_COMMAND, WM_CLOSE, WM_CVX_*). Returns the
    // reply; messages the frame does not know return 0.
    intptr_t handleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);
    // A tool window opened by command `id` has closed (WM_CVX_CHILDCLOSED).
    void toolWindowClosed(int id);
    // A MIDI device arrived or left: restarts the 350 ms device check.
    void deviceChanged();
    bool deviceCheckPending() const { return deviceCheckTimer_.isActive(); }
    bool keyboardLightTimerActive() const;
    bool panicRunning() const;
    // The modeless dialog that receives keyboard navigation (WM_CVX_SETDIALOG).
    QWidget* currentDialog() const { return currentDialog_; }
    // Files dropped on the frame: exactly one usable file is taken (profile, data map or
    // SysEx file); anything else is refused with the "no" cursor flashing three times.
    void dropFiles(const std::vector<std::string>& paths);
    bool refusingDrop() const;
    // The context menu of the client area ("MonPopupMenu") for the monitor under the cursor
    // (none: the empty area), with that monitor's marking state; its items run frame
    // commands. The caller owns the menu.
    QMenu* createMonitorPopup(std::optional<ViewKind> monitor, bool marking, QWidget* parent);
    // The picture painted behind the views: the mode and file of the General Options.
    void applyBackground(BackgroundMode mode, const std::string& path);
    BackgroundMode backgroundMode() const { return backgroundMode_; }

signals:
    // The device list changed (after the device check) or the ports were opened or closed:
    // whatever shows ports (status bar, toolbar) refreshes.
    void portsChanged();
    // The panic reset sent its last message.
    void panicFinished();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    friend class FrameCommandWiring;

    bool provided(int id) const;
    void viewsChanged();
    void openToolWindow(int id);
    void closeActiveChild();
    void closeAllChildren();
    void showAreaMenu(QPoint globalPos);

    void loadProfile();
    void saveProfile();
    void profileLoaded(const std::string& path);
    void sendReset(int id);
    void toggleHex(ViewKind monitor);
    void toggleDisplay();
    void togglePassSysEx();
    void toggleKeyboard();
    void switchKeyboardOff();
    void toggleOnTop();
    void applyOnTop();
    // After the ports were opened, released or changed.
    void followPorts();
    void checkDevices();
    void editGeneralOptions();
    void editFolders();
    void openHelpPage(std::string_view page);
    void openHelpTopic(int topic);
    void openReadMe();
    void warn(const QString& text);
    void showStatusBarState();
    void showToolBarState();
    ToolBarButtonState toolBarButtonState(int id) const;
    void restoreToolBarLayout();
    void customizeToolBar();
    void saveToolBarLayout();
    void toggleMinimizeToTray();
    void toggleAlwaysInTray();
    // Show/Hide of the tray menu and the icon's left click.
    void showOrHide();
    void hideIntoTray();
    void restoreFromTray();
    void showTrayIcon();
    void runTrayCommand(int id);

    FrameServices& services_;
    std::unique_ptr<FramePrompts> prompts_;
    QMdiArea* mdiArea_ = nullptr;
    std::unique_ptr<FrameViews> views_;
    std::unique_ptr<FrameEffects> effects_;
    std::unique_ptr<FrameMenus> menus_;
    FrameStatusBar* statusBar_ = nullptr;
    FrameToolBar* toolBar_ = nullptr;
    std::unique_ptr<FrameTrayIcon> tray_;
    bool hiddenInTray_ = false;
    // While the frame is in the tray: checks that the desktop still has one.
    QTimer trayWatch_;
    CommandTable commands_;
    FrameState state_;
    std::string profilePath_;
    int contextHelpTopic_ = 0;
    QPointer<QWidget> currentDialog_;
    std::function<bool()> closeHandler_;
    BackgroundMode backgroundMode_ = BackgroundMode::None;
    QTimer deviceCheckTimer_;
};

} // namespace corvex
