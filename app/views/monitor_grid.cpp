#include "views/monitor_grid.h"

#include <algorithm>

namespace corvex {

void MonitorGrid::setViewSize(int columns, int rows) {
    columns_ = std::max(columns, 0);
    rows_ = std::max(rows, 0);
    setMarking(false);
    clampPosition();
}

void MonitorGrid::linesAdded(size_t lineCount, size_t dropped) {
    lineCount_ = static_cast<int>(lineCount);
    if (marking_) {
        top_ -= static_cast<int>(std::min<size_t>(dropped, static_cast<size_t>(top_)));
        clampPosition();
    } else {
        top_ = maxTopLine();
    }
}

void MonitorGrid::setLineCount(size_t lineCount) {
    lineCount_ = static_cast<int>(lineCount);
    clampPosition();
}

int MonitorGrid::maxTopLine() const {
    return std::max(lineCount_ - visibleLines(), 0);
}

int MonitorGrid::maxLeftColumn() const {
    return std::max(textColumns - columns_, 0);
}

void MonitorGrid::scrollTo(int line) {
    setMarking(false);
    top_ = std::clamp(line, 0, maxTopLine());
}

void MonitorGrid::scrollColumnsTo(int column) {
    setMarking(false);
    left_ = std::clamp(column, 0, maxLeftColumn());
}

void MonitorGrid::setMarking(bool on) {
    marking_ = on;
    if (!on) {
        selection_.reset();
    }
}

void MonitorGrid::press(int column, int row, bool extend) {
    if (!marking_) {
        return;
    }
    if (!extend || !selection_) {
        anchorColumn_ = clampColumn(column);
        anchorRow_ = clampRow(row);
    }
    selection_ = CellRect{anchorColumn_, anchorRow_, anchorColumn_, anchorRow_};
    dragTo(column, row);
}

void MonitorGrid::dragTo(int column, int row) {
    if (!marking_ || !selection_) {
        return;
    }
    const int c = clampColumn(column);
    const int r = clampRow(row);
    selection_ = CellRect{std::min(anchorColumn_, c), std::min(anchorRow_, r),
                          std::max(anchorColumn_, c), std::max(anchorRow_, r)};
}

void MonitorGrid::markVisible() {
    marking_ = true;
    anchorColumn_ = 0;
    anchorRow_ = 0;
    selection_.reset();
    if (columns_ > 0 && rows_ > 0) {
        selection_ = CellRect{0, 0, columns_ - 1, rows_ - 1};
    }
}

std::optional<CellRect> MonitorGrid::selection() const {
    if (!marking_ || !selection_ || columns_ == 0 || rows_ == 0) {
        return std::nullopt;
    }
    CellRect clipped = *selection_;
    clipped.right = clampColumn(clipped.right);
    clipped.bottom = clampRow(clipped.bottom);
    clipped.left = std::min(clipped.left, clipped.right);
    clipped.top = std::min(clipped.top, clipped.bottom);
    return clipped;
}

void MonitorGrid::clampPosition() {
    top_ = std::clamp(top_, 0, maxTopLine());
    left_ = std::clamp(left_, 0, maxLeftColumn());
}

int MonitorGrid::clampColumn(int column) const {
    return std::clamp(column, 0, std::max(columns_ - 1, 0));
}

int MonitorGrid::clampRow(int row) const {
    return std::clamp(row, 0, std::max(rows_ - 1, 0));
}

} // namespace corvex
