// "Customize Toolbar": two lists, the buttons that can be added (a separator always) and
// the buttons on the toolbar in their order, with Add, Remove, Move Up and Move Down; Reset
// brings back the layout the dialog opened with and Defaults every button in its slot
// order. Close keeps the edited layout, Cancel (Esc) the one the toolbar had.
//
// Threads: user-interface thread only.
#pragma once

#include "tool_bar_layout.h"

#include <QDialog>

class QListWidget;
class QPushButton;

namespace corvex {

class CustomizeToolbarDialog : public QDialog {
    Q_OBJECT
public:
    CustomizeToolbarDialog(const ToolBarLayout& layout, QWidget* parent);

    ToolBarLayout layout() const { return layout_; }

    // The list rows and the actions behind the buttons, for the buttons and for tests.
    void addSelected();
    void removeSelected();
    void moveSelected(int step);
    void reset();
    void restoreDefaults();
    QListWidget* addableList() const { return addable_; }
    QListWidget* shownList() const { return shown_; }

private:
    void showLists(int selectedRow);
    void showButtonStates();

    ToolBarLayout opened_;
    ToolBarLayout layout_;
    QListWidget* addable_;
    QListWidget* shown_;
    QPushButton* add_;
    QPushButton* remove_;
    QPushButton* up_;
    QPushButton* down_;
};

} // namespace corvex
