// The player window (class "Tunelet"): the button bar, the position (1001) and length
// (1002) displays, the options menu (On Top 120, Use Tray 121, Single Instance 125, About
// 122; the window's context menu, since the desktop's own window menu cannot be extended),
// the accelerators, the notification-area icon, dropped files, the open-file and port
// dialogs, the 1-second timer, hand-offs from later starts and the settings saved at close.
// It shows what its PlayerController decides. UI thread only.
#pragma once

#include "end_notice.h"
#include "instance_channel.h"
#include "player_controller.h"
#include "player_settings.h"

#include <QTimer>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QSystemTrayIcon;

namespace corvex {

class ButtonBar;

enum MenuId : int {
    kOnTopCommand = 120,
    kUseTrayCommand = 121,
    kAboutCommand = 122,
    kSingleInstanceCommand = 125,
};

class PlayerWindow : public QWidget, private PlayerView {
    Q_OBJECT
public:
    PlayerWindow(SettingsStore& store, PlayerSettings settings, std::vector<std::string> ports,
                 QWidget* parent = nullptr);
    ~PlayerWindow() override;

    // The saved options, applied once the window shows: Use Tray, On Top, Single Instance.
    void applySavedOptions();
    // A command of the button bar, an accelerator or a menu, by its command id.
    void command(int id, int notification = 0);
    void openFromCommandLine(const std::string& path, bool play);

    PlayerController& controller() { return controller_; }
    ButtonBar* buttonBar() const { return bar_; }
    QLabel* positionDisplay() const { return position_; }
    QLabel* lengthDisplay() const { return length_; }
    QSystemTrayIcon* trayIcon() const { return tray_; }
    QAction* menuAction(int id) const;
    const PlayerSettings& settings() const { return settings_; }
    bool listening() const { return server_.listening(); }
    // Where to show error boxes; tests replace it.
    std::function<void(const std::string&)> errorSink;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void showTitle(const std::string& title) override;
    void showButtons(const ButtonStates& states) override;
    void showPosition(const std::string& text) override;
    void showLength(const std::string& text) override;
    void errorBox(const std::string& message) override;

    void buildMenu();
    void buildShortcuts();
    void buildTray();
    void place();
    void openWithDialog();
    void choosePort();
    void toggleOnTop();
    void toggleUseTray();
    void toggleSingleInstance();
    void hideToTray();
    void restoreFromTray();
    void saveSettings();
    void accelerator(int id);

    SettingsStore& store_;
    PlayerSettings settings_;
    std::vector<std::string> ports_;
    EndNotice endNotice_;
    PlayerController controller_;
    PlayerInstanceServer server_;
    ButtonBar* bar_ = nullptr;
    QLabel* position_ = nullptr;
    QLabel* length_ = nullptr;
    QMenu* menu_ = nullptr;
    QSystemTrayIcon* tray_ = nullptr;
    QMenu* trayMenu_ = nullptr;
    QTimer timer_;
    bool onTop_ = false;
    bool useTray_ = false;
    bool singleInstance_ = false;
    bool saved_ = false;
};

} // namespace corvex
