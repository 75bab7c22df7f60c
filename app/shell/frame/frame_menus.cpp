#include "frame_menus.h"

#include "accelerators.h"
#include "command_ids.h"
#include "frame_text.h"
#include "frame_views.h"
#include "image_names.h"
#include "menu_resource.h"
#include "string_table.h"

#include <QAction>
#include <QIcon>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include <utility>

namespace corvex {
namespace {

bool isClipboardCommand(int id) {
    return id == cmd::kMarkForClipboard || id == cmd::kCopyToClipboard || id == cmd::kMarkWindow ||
           id == cmd::kCopyAll;
}

} // namespace

FrameMenus::FrameMenus(QMainWindow& frame, FrameViews& views, Run run, Provided provided)
    : frame_(frame), views_(views), run_(std::move(run)), provided_(std::move(provided)) {}

void FrameMenus::build() {
    const auto popups = mainMenu();
    for (std::size_t i = 0; i < popups.size(); ++i) {
        QMenu* menu = frame_.menuBar()->addMenu(qs(popups[i].text));
        addItems(menu, popups[i].items);
        if (static_cast<int>(i) == kWindowMenuIndex) {
            QObject::connect(menu, &QMenu::aboutToShow, &frame_,
                             [this, menu] { fillWindowList(menu); });
        }
    }
    addAccelerators();
}

void FrameMenus::addItems(QMenu* menu, std::span<const MenuItem> items) {
    for (const MenuItem& entry : items) {
        switch (entry.kind) {
        case MenuItem::Kind::Separator:
            menu->addSeparator();
            break;
        case MenuItem::Kind::Popup:
            addItems(menu->addMenu(qs(entry.text)), entry.items);
            break;
        case MenuItem::Kind::Command: {
            QAction* item = menu->addAction(menuText(entry.text));
            item->setData(entry.id);
            item->setObjectName(QStringLiteral("command%1").arg(entry.id));
            item->setStatusTip(qs(loadString(entry.id)));
            item->setToolTip(qs(loadString(entry.id)));
            item->setCheckable(isCheckable(entry.id));
            QObject::connect(item, &QAction::triggered, &frame_,
                             [this, id = entry.id] { run_(id); });
            actions_.insert(entry.id, item);
            break;
        }
        }
    }
}

void FrameMenus::addAccelerators() {
    for (const Accelerator& accelerator : kFrameAccelerators) {
        QAction* target = action(accelerator.command);
        if (!target) {
            target = new QAction(&frame_);
            target->setData(accelerator.command);
            target->setStatusTip(qs(loadString(accelerator.command)));
            QObject::connect(target, &QAction::triggered, &frame_,
                             [this, id = accelerator.command] { run_(id); });
            actions_.insert(accelerator.command, target);
            frame_.addAction(target);
        }
        target->setShortcut(QKeySequence(qs(accelerator.keys)));
        target->setShortcutContext(Qt::WindowShortcut);
    }
}

// The list of child windows follows the Window menu's fixed items, ids from 5000 on.
void FrameMenus::fillWindowList(QMenu* menu) {
    for (QAction* old : menu->actions()) {
        if (old->property("windowList").toBool()) {
            menu->removeAction(old);
            old->deleteLater();
        }
    }
    const auto windows = views_.windows();
    if (windows.isEmpty()) {
        return;
    }
    menu->addSeparator()->setProperty("windowList", true);
    int number = 0;
    for (QMdiSubWindow* window : windows) {
        QAction* entry =
            menu->addAction(QStringLiteral("&%1 %2").arg(number + 1).arg(window->windowTitle()));
        entry->setProperty("windowList", true);
        entry->setData(cmd::kFirstMdiChild + number++);
        entry->setCheckable(true);
        entry->setChecked(window == views_.activeWindow());
        QObject::connect(entry, &QAction::triggered, &frame_,
                         [this, window = QPointer<QMdiSubWindow>(window)] {
                             if (window) {
                                 views_.activate(window);
                             }
                         });
    }
}

QAction* FrameMenus::action(int id) const {
    return actions_.value(id, nullptr);
}

void FrameMenus::setChecked(int id, bool checked) {
    if (QAction* item = action(id)) {
        item->setCheckable(true);
        item->setChecked(checked);
    }
}

void FrameMenus::refresh(const FrameState& state) {
    for (auto it = actions_.cbegin(); it != actions_.cend(); ++it) {
        const int id = it.key();
        QAction* item = it.value();
        item->setEnabled(commandEnabled(id, state, provided_(id)));
        if (isFrameCheckMark(id)) {
            item->setChecked(commandChecked(id, state));
        }
        if (const std::string_view text = commandText(id, state); !text.empty()) {
            item->setText(qs(text));
        }
    }
}

void FrameMenus::showKeyboardLight(std::optional<bool> lit) {
    if (QAction* item = action(cmd::kKeyboard)) {
        item->setIcon(!lit ? QIcon() : QIcon(*lit ? image::kKeyboardLit : image::kKeyboard));
    }
}

QMenu* FrameMenus::createMonitorPopup(std::optional<ViewKind> monitor, bool marking,
                                      const FrameState& state, QWidget* parent) {
    auto* menu = new QMenu(parent);
    const bool overInput = monitor == ViewKind::InputMonitor;
    const bool hex = overInput ? state.inputHex : state.outputHex;
    for (const MenuItem& entry : monitorPopupMenu()) {
        if (entry.kind != MenuItem::Kind::Command) {
            menu->addSeparator();
            continue;
        }
        int id = entry.id;
        QString text = menuText(entry.text);
        bool enabled = commandEnabled(id, state, provided_(id));
        if (id == cmd::kViewHexDisplay) {
            id = overInput ? cmd::kMonitorInputHex : cmd::kMonitorOutputHex;
            text = hex ? QStringLiteral("Displa&y Decimal") : QStringLiteral("Displa&y Hex");
            enabled = monitor.has_value();
        } else if (id == cmd::kClearMonitor && monitor) {
            id = overInput ? cmd::kClearInput : cmd::kClearMainMonitor;
            text = overInput ? QStringLiteral("&Clear Input") : QStringLiteral("&Clear Monitor");
        } else if (id == cmd::kStopDisplay) {
            text = qs(commandText(id, state));
        }
        QAction* item = menu->addAction(text);
        item->setData(id);
        if (isClipboardCommand(id)) {
            enabled = monitor.has_value() && !(id == cmd::kCopyToClipboard && !marking);
            if (id == cmd::kMarkForClipboard) {
                item->setCheckable(true);
                item->setChecked(marking);
            }
        }
        item->setEnabled(enabled);
        item->setStatusTip(qs(loadString(id)));
        QObject::connect(item, &QAction::triggered, &frame_, [this, id, monitor] {
            if (QMdiSubWindow* window = monitor ? views_.viewWindow(*monitor) : nullptr) {
                views_.activate(window); // the clipboard commands go to that monitor
            }
            run_(id);
        });
    }
    return menu;
}

} // namespace corvex
