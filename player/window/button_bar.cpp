#include "button_bar.h"

#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>

namespace corvex {
namespace {

struct ButtonLook {
    int id;
    QStyle::StandardPixmap icon;
    const char* tip;
    bool checkable;
};

constexpr ButtonLook kLooks[kButtonCount] = {
    {kRepeatButton, QStyle::SP_BrowserReload, "Repeat (R)", true},
    {kPortButton, QStyle::SP_ComputerIcon, "Select MIDI port (M)", false},
    {kOpenButton, QStyle::SP_DialogOpenButton, "Open (O)", false},
    {kPlayButton, QStyle::SP_MediaPlay, "Play (P)", false},
    {kPauseButton, QStyle::SP_MediaPause, "Pause ([)", true},
    {kStopButton, QStyle::SP_MediaStop, "Stop (])", false},
    {kRewindButton, QStyle::SP_MediaSeekBackward, "Rewind, hold to move back (<)", false},
    {kForwardButton, QStyle::SP_MediaSeekForward, "Forward, hold to move on (>)", false},
    {kToStartButton, QStyle::SP_MediaSkipBackward, "To start (Alt+[)", false},
    {kToEndButton, QStyle::SP_MediaSkipForward, "To end (Alt+])", false},
};

constexpr int kGroupGap = 8;

} // namespace

ButtonBar::ButtonBar(QWidget* parent) : QWidget(parent) {
    setObjectName("TLCNTRLB");
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (const ButtonLook& look : kLooks) {
        if (look.id == kPlayButton || look.id == kRewindButton) {
            layout->addSpacing(kGroupGap);
        }
        auto* button = new QToolButton(this);
        button->setObjectName(QString::number(look.id));
        button->setIcon(style()->standardIcon(look.icon));
        button->setToolTip(tr(look.tip));
        button->setCheckable(look.checkable);
        button->setAutoRaise(false);
        button->setFocusPolicy(Qt::NoFocus);
        int id = look.id;
        connect(button, &QToolButton::clicked, this, [this, id] { emit command(id, 0); });
        connect(button, &QToolButton::pressed, this,
                [this, id] { emit command(id, kButtonPressed); });
        connect(button, &QToolButton::released, this,
                [this, id] { emit command(id, kButtonReleased); });
        buttons_[id - kFirstButton] = button;
        layout->addWidget(button);
    }
}

void ButtonBar::setEnabled(int id, bool on) {
    button(id)->setEnabled(on);
}

bool ButtonBar::isEnabled(int id) const {
    return button(id)->isEnabled();
}

void ButtonBar::setChecked(int id, bool on) {
    button(id)->setChecked(on);
}

bool ButtonBar::isChecked(int id) const {
    return button(id)->isChecked();
}

void ButtonBar::apply(const ButtonStates& states) {
    for (int id = kFirstButton; id < kFirstButton + kButtonCount; ++id) {
        setEnabled(id, states.isEnabled(id));
    }
    setChecked(kPauseButton, states.pauseChecked);
}

} // namespace corvex
