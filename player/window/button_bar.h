// The player's button bar (class "TLCNTRLB"): ten buttons with the ids 100-109 in three
// groups (100-102, 103-105, 106-109) separated by gaps. Repeat and Pause are check buttons.
// Besides the click, each button reports its press and its release (the notification codes
// 0x201 and 0x203), which Rewind and Forward use for hold-to-seek. UI thread only.
#pragma once

#include "button_states.h"

#include <QWidget>

#include <array>

class QToolButton;

namespace corvex {

class ButtonBar : public QWidget {
    Q_OBJECT
public:
    explicit ButtonBar(QWidget* parent = nullptr);

    void setEnabled(int id, bool on);
    bool isEnabled(int id) const;
    void setChecked(int id, bool on);
    bool isChecked(int id) const;
    void apply(const ButtonStates& states);
    QToolButton* button(int id) const { return buttons_[id - kFirstButton]; }

signals:
    void command(int id, int notification); // 0 for a click, kButtonPressed, kButtonReleased

private:
    std::array<QToolButton*, kButtonCount> buttons_{};
};

} // namespace corvex
