#include "mapping/ui/map_row_view.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>

namespace corvex {

namespace {

constexpr int kMargin = 4; // pixels before the first column

int characterWidth(const QFontMetrics& metrics) {
    return metrics.horizontalAdvance(QLatin1Char('0'));
}

QRect columnRect(const MapRowColumnLayout& column, const QRect& line, int charWidth) {
    return {line.left() + kMargin + column.left * charWidth, line.top(), column.width * charWidth,
            line.height()};
}

QColor cellColour(MapCellColour colour, bool selected, const QPalette& palette) {
    switch (colour) {
    case MapCellColour::Value1:
        return selected ? QColor(Qt::cyan) : QColor(Qt::blue);
    case MapCellColour::Value2:
        return selected ? QColor(255, 128, 128) : QColor(Qt::red);
    case MapCellColour::Plain:
        break;
    }
    return palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
}

// A small star: this field takes any value.
void drawWildcard(QPainter& painter, const QRect& cell, bool rightAligned, const QColor& colour) {
    const int size = std::max(5, cell.height() / 3);
    const int x = rightAligned ? cell.right() - size : cell.left() + 1;
    const QRectF mark(x, cell.center().y() - size / 2.0, size, size);
    painter.save();
    painter.setPen(QPen(colour, 1.2));
    painter.drawLine(mark.topLeft(), mark.bottomRight());
    painter.drawLine(mark.topRight(), mark.bottomLeft());
    painter.drawLine(QPointF(mark.center().x(), mark.top()),
                     QPointF(mark.center().x(), mark.bottom()));
    painter.restore();
}

void drawTick(QPainter& painter, const QRect& cell, const QColor& colour) {
    const qreal size = std::max(7, cell.height() / 2);
    const QPointF origin(cell.left() + 2, cell.center().y() - size / 2);
    QPainterPath tick;
    tick.moveTo(origin + QPointF(0, size * 0.55));
    tick.lineTo(origin + QPointF(size * 0.35, size));
    tick.lineTo(origin + QPointF(size, 0));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour, 2));
    painter.drawPath(tick);
    painter.restore();
}

} // namespace

MapRowDelegate::MapRowDelegate(std::function<const MapEditorRow*(int)> rowAt, QObject* parent)
    : QStyledItemDelegate(parent), rowAt_(std::move(rowAt)) {}

void MapRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const {
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);

    const MapEditorRow* row = rowAt_(index.row());
    if (row == nullptr) {
        return;
    }
    const bool selected = (option.state & QStyle::State_Selected) != 0;
    const int charWidth = characterWidth(option.fontMetrics);
    const auto cells = mapRowCells(*row);
    const auto columns = mapRowColumns();
    painter->save();
    painter->setFont(option.font);
    for (size_t i = 0; i < kMapRowColumns; ++i) {
        const MapRowCell& cell = cells[i];
        QRect rect = columnRect(columns[i], option.rect, charWidth);
        const QColor colour = cellColour(cell.colour, selected, option.palette);
        switch (cell.kind) {
        case MapCellKind::Empty:
            break;
        case MapCellKind::Wildcard:
            drawWildcard(*painter, rect, columns[i].rightAligned, colour);
            break;
        case MapCellKind::Tick:
            drawTick(*painter, rect, colour);
            break;
        case MapCellKind::Text: {
            const bool sysex = i == static_cast<size_t>(MapRowColumn::OutValue1) &&
                               row->item.targetMessage == MAP_SYSEX;
            if (sysex) { // runs on to the end of the line
                rect.setRight(option.rect.right());
            }
            painter->setPen(colour);
            painter->drawText(
                rect,
                Qt::AlignVCenter |
                    (columns[i].rightAligned && !sysex ? Qt::AlignRight : Qt::AlignLeft),
                QString::fromStdString(cell.text));
            break;
        }
        }
    }
    painter->restore();
}

QSize MapRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    return {2 * kMargin + mapRowWidth() * characterWidth(option.fontMetrics),
            option.fontMetrics.height() + 4};
}

MapRowHeader::MapRowHeader(int indent, QWidget* parent) : QWidget(parent), indent_(indent) {}

QSize MapRowHeader::sizeHint() const {
    const QFontMetrics metrics(font());
    return {2 * kMargin + indent_ + mapRowWidth() * characterWidth(metrics),
            2 * metrics.height() + 2};
}

void MapRowHeader::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const int charWidth = characterWidth(metrics);
    const QRect first(indent_, 0, width() - indent_, metrics.height());
    const QRect second = first.translated(0, metrics.height());
    for (const MapRowColumnLayout& column : mapRowColumns()) {
        if (column.groupWidth > 0) {
            QRect group = columnRect(column, first, charWidth);
            group.setWidth(column.groupWidth * charWidth);
            painter.drawText(group, Qt::AlignCenter, QString::fromUtf8(column.group));
        }
        const bool underGroup = column.groupWidth > 0 || (&column != mapRowColumns().data() &&
                                                          (&column - 1)->groupWidth > 0);
        const QRect line = underGroup ? second : first.united(second);
        painter.drawText(columnRect(column, line, charWidth),
                         Qt::AlignVCenter | (column.rightAligned ? Qt::AlignRight : Qt::AlignLeft),
                         QString::fromUtf8(column.label));
    }
    const auto out = mapRowColumns()[static_cast<size_t>(MapRowColumn::OutChannel)];
    const int divider = indent_ + kMargin + (out.left - 1) * charWidth;
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(divider, 0, divider, height());
}

} // namespace corvex
