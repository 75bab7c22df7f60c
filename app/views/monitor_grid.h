// The character grid of a monitor window, in cells: how many rows and columns fit, which
// line and column are at the top left, and the marked selection. Row 0 of the grid is the
// header; row r (r >= 1) shows line topLine() + r - 1. The window turns pixels into cells.
// Threads: the user-interface thread only.
#pragma once

#include <cstddef>
#include <optional>

namespace corvex {

// Inclusive cell rectangle.
struct CellRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const CellRect&) const = default;
};

class MonitorGrid {
public:
    // Columns of the text (the header's width); the horizontal range scrolls over them.
    static constexpr int textColumns = 68;

    // Cells that fit in the window: `rows` includes the header row. Ends marking.
    void setViewSize(int columns, int rows);
    int visibleColumns() const { return columns_; }
    int visibleLines() const { return rows_ > 1 ? rows_ - 1 : 0; }

    // Lines were added to the monitor (`dropped` of the oldest fell out of a full ring).
    // Shows the newest lines, except while marking: then the marked lines stay in view.
    void linesAdded(size_t lineCount, size_t dropped);
    // The line count changed for another reason (cleared); keeps the position in range.
    void setLineCount(size_t lineCount);

    int topLine() const { return top_; }
    int maxTopLine() const;
    int leftColumn() const { return left_; }
    int maxLeftColumn() const;

    // Scrolling clamps to the range and ends marking.
    void scrollTo(int line);
    void scrollBy(int lines) { scrollTo(top_ + lines); }
    void scrollPage(int pages) { scrollBy(pages * visibleLines()); }
    void scrollColumnsTo(int column);
    void scrollColumnsBy(int columns) { scrollColumnsTo(left_ + columns); }

    bool marking() const { return marking_; }
    // Switching marking off drops the selection.
    void setMarking(bool on);
    // While marking: a press sets the anchor at the cell and selects it; with `extend` the
    // selection reaches from the existing anchor to the cell instead.
    void press(int column, int row, bool extend);
    // While marking with a selection: the selection spans the anchor and the cell.
    void dragTo(int column, int row);
    // Marking on, every visible cell (header included) selected.
    void markVisible();
    // The selection, clipped to the visible cells; none when not marking or nothing chosen.
    std::optional<CellRect> selection() const;

private:
    void clampPosition();
    int clampColumn(int column) const;
    int clampRow(int row) const;

    int columns_ = 0;
    int rows_ = 0;
    int lineCount_ = 0;
    int top_ = 0;
    int left_ = 0;
    bool marking_ = false;
    std::optional<CellRect> selection_;
    int anchorColumn_ = 0;
    int anchorRow_ = 0;
};

} // namespace corvex
