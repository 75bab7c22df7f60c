// Drawing the map editor's rows: a delegate that paints each row's cells (mapRowCells) in
// the columns of mapRowColumns, and the two-line header above the list. Value-1 numbers are
// blue (cyan on a selected row), value-2 numbers red; wildcards and Clone are small marks.
//
// Threads: the user-interface thread only.
#pragma once

#include "mapping/map_row_display.h"

#include <QStyledItemDelegate>
#include <QWidget>

#include <functional>

namespace corvex {

class MapRowDelegate : public QStyledItemDelegate {
public:
    // `rowAt` gives the editor row a list index stands for.
    MapRowDelegate(std::function<const MapEditorRow*(int)> rowAt, QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    std::function<const MapEditorRow*(int)> rowAt_;
};

// The column labels, lined up with the rows of a list whose items start `indent` pixels in.
class MapRowHeader : public QWidget {
public:
    explicit MapRowHeader(int indent, QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int indent_;
};

} // namespace corvex
