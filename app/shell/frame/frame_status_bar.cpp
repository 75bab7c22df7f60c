#include "frame_status_bar.h"

#include <QMouseEvent>

namespace corvex {

StatusCellLabel::StatusCellLabel(const StatusCell& cell, std::function<void(int)> run,
                                 QWidget* parent)
    : QLabel(QString::fromUtf8(cell.label), parent), cell_(cell), run_(std::move(run)) {
    setObjectName(QStringLiteral("cell %1").arg(QString::fromUtf8(cell.label)));
    setAlignment(Qt::AlignCenter);
    setAutoFillBackground(true);
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    setMinimumWidth(std::max(30, fontMetrics().horizontalAdvance(text()) + 10));
}

void StatusCellLabel::showState(bool on, QColor activeBackground, QColor activeText) {
    on_ = on;
    QPalette colours = palette();
    const QPalette system = QPalette();
    colours.setColor(QPalette::Window, on ? activeBackground : system.color(QPalette::Button));
    colours.setColor(QPalette::WindowText,
                     on ? activeText : system.color(QPalette::Disabled, QPalette::WindowText));
    setPalette(colours);
}

void StatusCellLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        guard_.acceptClick()) {
        run_(cell_.command);
    }
}

void StatusCellLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        guard_.doubleClicked();
    }
}

FrameStatusBar::FrameStatusBar(std::function<void(int)> run, QWidget* parent)
    : QStatusBar(parent), outputs_(new QLabel(this)), inputs_(new QLabel(this)) {
    setObjectName(QStringLiteral("1501"));
    setSizeGripEnabled(true);
    outputs_->setObjectName(QStringLiteral("outputs"));
    inputs_->setObjectName(QStringLiteral("inputs"));
    inputs_->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("88 Input Devices")));
    addWidget(outputs_, 1);
    addWidget(inputs_);
    for (size_t i = 0; i < cells_.size(); ++i) {
        cells_[i] = new StatusCellLabel(statusCells()[i], run, this);
        addWidget(cells_[i]);
    }
    showState(state_);
}

void FrameStatusBar::showState(const StatusBarState& state) {
    state_ = state;
    outputs_->setText(QString::fromStdString(outputCountText(state.outputs, state.released)));
    inputs_->setText(QString::fromStdString(inputCountText(state.inputs, state.released)));
    for (size_t i = 0; i < cells_.size(); ++i) {
        cells_[i]->showState(state.cells[i], activeBackground_, activeText_);
    }
}

void FrameStatusBar::setActiveColours(QColor background, QColor text) {
    activeBackground_ = background;
    activeText_ = text;
    showState(state_);
}

} // namespace corvex
