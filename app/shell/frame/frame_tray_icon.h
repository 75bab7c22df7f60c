// The frame's icon in the desktop's notification area ("tray"): shown or removed as the
// frame decides, its tip naming the open devices, its picture stepping on MIDI activity
// (the icon files of CORVEX.INI, else the built-in pictures) and its menu, built from
// trayMenuItems each time it opens. Where the desktop has no tray nothing is shown.
//
// Threads: user-interface thread only.
#pragma once

#include "tray_icon_rules.h"

#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QString>

#include <functional>
#include <vector>

class QMenu;
class QSystemTrayIcon;

namespace corvex {

class FrameTrayIcon : public QObject {
    Q_OBJECT
public:
    using MenuItems = std::function<std::vector<TrayMenuItem>()>;
    using Run = std::function<void(int command)>;

    // `framePaths`: the animation's icon files; empty for the built-in pictures.
    FrameTrayIcon(const std::vector<std::string>& framePaths, MenuItems items, Run run,
                  QObject* parent);
    ~FrameTrayIcon() override;

    // Whether the desktop shows a system tray (a StatusNotifier host or a tray manager).
    static bool desktopHasTray();

    // Adds the icon (moving to its next picture) or removes it.
    void show(bool shown);
    bool isShown() const { return shown_; }
    void setTip(const QString& tip);
    QString tip() const { return tip_; }
    // Output was monitored: the next picture, paced.
    void activity();
    int currentFrame() const { return animation_.current(); }
    // Opens the menu at `globalPos`.
    void popupMenu(QPoint globalPos);
    // Rebuilds the menu from the items (done each time it opens).
    void fillMenu();
    QMenu* menu() const { return menu_; }

signals:
    // The left button clicked the icon.
    void clicked();

private:
    void showFrame();

    std::vector<QIcon> frames_;
    MenuItems items_;
    Run run_;
    TrayAnimation animation_;
    QSystemTrayIcon* icon_ = nullptr; // only where the desktop has a tray
    QMenu* menu_;
    QString tip_;
    bool shown_ = false;
};

} // namespace corvex
