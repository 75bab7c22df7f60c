// The frame's status bar: the open output and input counts and the five state cells (REC,
// SYX, MAP, KYB, LOG) that send their command when clicked. The menu help text covers them
// while an item is highlighted. Threads: the user-interface thread only.
#pragma once

#include "status_bar_cells.h"

#include <QColor>
#include <QLabel>
#include <QStatusBar>

#include <array>
#include <functional>

namespace corvex {

// One state cell: its label centred, in the active colours when on.
class StatusCellLabel : public QLabel {
    Q_OBJECT
public:
    StatusCellLabel(const StatusCell& cell, std::function<void(int)> run, QWidget* parent);

    void showState(bool on, QColor activeBackground, QColor activeText);
    bool isOn() const { return on_; }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    StatusCell cell_;
    std::function<void(int)> run_;
    CellClickGuard guard_;
    bool on_ = false;
};

struct StatusBarState {
    int outputs = 0;
    int inputs = 0;
    bool released = false;
    std::array<bool, 5> cells{}; // in the order of statusCells()
};

class FrameStatusBar : public QStatusBar {
    Q_OBJECT
public:
    // `run` sends a cell's command to the frame.
    FrameStatusBar(std::function<void(int)> run, QWidget* parent);

    void showState(const StatusBarState& state);
    // "StatusBar Active Bkgd" and "StatusBar Active Text" of the colour scheme.
    void setActiveColours(QColor background, QColor text);

    QString outputText() const { return outputs_->text(); }
    QString inputText() const { return inputs_->text(); }
    StatusCellLabel* cell(int index) const { return cells_[static_cast<size_t>(index)]; }

private:
    QLabel* outputs_;
    QLabel* inputs_;
    std::array<StatusCellLabel*, 5> cells_{};
    StatusBarState state_;
    QColor activeBackground_{0, 0, 128};
    QColor activeText_{255, 255, 255};
};

} // namespace corvex
