#include "frame_tool_bar.h"

#include "command_ids.h"
#include "command_rules.h"
#include "frame_text.h"
#include "image_names.h"
#include "string_table.h"
#include "tool_bar_buttons.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPixmap>

namespace corvex {
namespace {

const char kImageProperty[] = "image";

} // namespace

FrameToolBar::FrameToolBar(Run run, QWidget* parent)
    : QToolBar(parent), run_(std::move(run)), strip_(QString::fromUtf8(image::kToolBarStrip)) {
    setObjectName(QStringLiteral("1500"));
    setWindowTitle(QStringLiteral("Toolbar"));
    setMovable(false);
    setFloatable(false);
    setIconSize({image::kToolBarImageSize, image::kToolBarImageSize});
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, [this](QPoint at) {
        QMenu menu(this);
        menu.addAction(QStringLiteral("Customize Tool&bar..."),
                       [this] { run_(cmd::kCustomizeToolbar); });
        menu.exec(mapToGlobal(at));
    });
}

void FrameToolBar::showLayout(const ToolBarLayout& layout) {
    clear();
    layout_ = keptToolBarButtons(layout);
    for (int command : layout_) {
        if (command == kToolBarSeparator) {
            addSeparator();
            continue;
        }
        QAction* button = addAction(qs(toolBarButtonName(command)));
        button->setObjectName(QStringLiteral("button%1").arg(command));
        button->setData(command);
        button->setToolTip(qs(loadString(command)));
        button->setCheckable(isCheckable(command));
        connect(button, &QAction::triggered, this, [this, command] { run_(command); });
        widgetForAction(button)->installEventFilter(this);
        showImage(button, toolBarImage(command, false));
    }
    if (stateOf_) {
        showStates(stateOf_);
    }
}

void FrameToolBar::showStates(const StateOf& stateOf) {
    stateOf_ = stateOf;
    for (QAction* button : actions()) {
        const int command = button->data().toInt();
        if (command == kToolBarSeparator) {
            continue;
        }
        const ToolBarButtonState state = stateOf(command);
        button->setEnabled(state.enabled);
        button->setChecked(button->isCheckable() && state.on);
        int image = toolBarImage(command, state.on);
        if (command == cmd::kKeyboard && state.on && keyboardLight_) {
            image = *keyboardLight_ ? kKeyboardLitImage : kKeyboardDarkImage;
        }
        showImage(button, image);
    }
}

void FrameToolBar::showKeyboardLight(std::optional<bool> lit) {
    keyboardLight_ = lit;
    if (QAction* keyboard = button(cmd::kKeyboard)) {
        showImage(keyboard, !lit ? toolBarImage(cmd::kKeyboard, false)
                                 : (*lit ? kKeyboardLitImage : kKeyboardDarkImage));
    }
}

QAction* FrameToolBar::button(int command) const {
    for (QAction* button : actions()) {
        if (command != kToolBarSeparator && button->data().toInt() == command) {
            return button;
        }
    }
    return nullptr;
}

int FrameToolBar::shownImage(int command) const {
    const QAction* shown = button(command);
    return shown == nullptr ? -1 : shown->property(kImageProperty).toInt();
}

void FrameToolBar::showImage(QAction* button, int image) {
    if (button->property(kImageProperty).toInt() == image && !button->icon().isNull()) {
        return;
    }
    button->setProperty(kImageProperty, image);
    const int size = image::kToolBarImageSize;
    button->setIcon(QIcon(strip_.copy(image * size, 0, size, size)));
}

bool FrameToolBar::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ToolTip && !tooltipsShown_) {
        return true;
    }
    return QToolBar::eventFilter(watched, event);
}

} // namespace corvex
