// The frame's menus: the menu bar built from the menu resource (each QAction carries its
// command id, an object name "command<id>" and its status-bar help), the accelerators, the
// Window menu's list of views, the client area's context menu, and refreshing which items
// are enabled, checked and how they read from the frame's state.
//
// Threads: user-interface thread only.
#pragma once

#include "command_rules.h"
#include "frame_services.h"

#include <QHash>

#include <functional>
#include <optional>
#include <span>

class QAction;
class QMainWindow;
class QMenu;
class QWidget;

namespace corvex {

class FrameViews;
struct MenuItem;

class FrameMenus {
public:
    // Every item runs its command through `run`.
    using Run = std::function<void(int id)>;
    // Whether anybody runs command `id` in this build.
    using Provided = std::function<bool(int id)>;

    FrameMenus(QMainWindow& frame, FrameViews& views, Run run, Provided provided);

    // Fills the frame's menu bar and adds the accelerators; called once.
    void build();
    // The action of command `id`, or null.
    QAction* action(int id) const;
    void setChecked(int id, bool checked);
    // Updates every item from `state`.
    void refresh(const FrameState& state);
    // Shows the keyboard light on the Keyboard item (none: no light).
    void showKeyboardLight(std::optional<bool> lit);
    // The context menu for the monitor under the cursor (none: the empty area), with that
    // monitor's marking state; its items run frame commands. The caller owns the menu.
    QMenu* createMonitorPopup(std::optional<ViewKind> monitor, bool marking,
                              const FrameState& state, QWidget* parent);

private:
    void addItems(QMenu* menu, std::span<const MenuItem> items);
    void addAccelerators();
    void fillWindowList(QMenu* menu);

    QMainWindow& frame_;
    FrameViews& views_;
    Run run_;
    Provided provided_;
    QHash<int, QAction*> actions_;
};

} // namespace corvex
