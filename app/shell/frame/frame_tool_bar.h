// The frame's toolbar: the buttons of the user's layout, each sending its command to the
// frame, greyed while its command is unavailable, pressed or showing its toggle picture
// while its command is on, and the keyboard button flashing while the computer keyboard
// plays MIDI. Its context menu offers "Customize Toolbar...".
//
// Threads: user-interface thread only.
#pragma once

#include "tool_bar_layout.h"

#include <QPixmap>
#include <QToolBar>

#include <functional>
#include <optional>

namespace corvex {

struct ToolBarButtonState {
    bool enabled = true;
    bool on = false; // checked, or the "on" toggle picture
};

class FrameToolBar : public QToolBar {
    Q_OBJECT
public:
    using Run = std::function<void(int command)>;
    using StateOf = std::function<ToolBarButtonState(int command)>;

    // `run` sends a button's command (kCustomizeToolbar from the context menu).
    FrameToolBar(Run run, QWidget* parent);

    // Puts the buttons of `layout` on the toolbar (unknown and repeated ones are dropped).
    void showLayout(const ToolBarLayout& layout);
    const ToolBarLayout& shownLayout() const { return layout_; }
    // Updates every button from its command's state.
    void showStates(const StateOf& stateOf);
    // The keyboard button's flashing light; none while the keyboard is off.
    void showKeyboardLight(std::optional<bool> lit);
    // The "Show Tooltips" option.
    void setTooltipsShown(bool shown) { tooltipsShown_ = shown; }

    // The button of `command`, or null when it is not on the toolbar.
    QAction* button(int command) const;
    // The picture of the strip that button shows; -1 when it is not on the toolbar.
    int shownImage(int command) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showImage(QAction* button, int image);

    Run run_;
    QPixmap strip_; // the pictures side by side
    ToolBarLayout layout_;
    StateOf stateOf_;
    std::optional<bool> keyboardLight_;
    bool tooltipsShown_ = true;
};

} // namespace corvex
