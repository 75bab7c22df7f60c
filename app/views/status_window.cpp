#include "views/status_window.h"

#include "command_ids.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
#include <QStyleOptionHeader>

namespace corvex {

StatusWindow::StatusWindow(const ChannelStatus& status, CommandHandler command, QWidget* parent)
    : QWidget(parent), status_(status), command_(std::move(command)) {
    setObjectName("CORVEX:MStatus");
    setWindowTitle("MIDI Status");
    setColumns(defaultStatusColumns());
}

void StatusWindow::setColumns(const StatusColumns& columns) {
    shown_.clear();
    for (const StatusColumn& column : columns) {
        if (column.shown) {
            shown_.push_back(column.item);
        }
    }
    updateGeometry();
    update();
}

void StatusWindow::setLook(const QColor& text, const QColor& background, const QFont& font) {
    text_ = text;
    background_ = background;
    setFont(font);
    updateGeometry();
    update();
}

QString StatusWindow::cellText(const ChannelStatus& status, unsigned channel, unsigned item) {
    if (item == kItemChan) {
        return QString::number(channel + 1);
    }
    const int value = status.value(channel, item);
    if (value < 0) {
        return {};
    }
    return QString::number(item == kItemBend ? value - 8192 : value);
}

QSize StatusWindow::sizeHint() const {
    const QFontMetrics metrics(font());
    int characters = 0;
    for (uint16_t item : shown_) {
        characters += statusItems()[item].width;
    }
    return {characters * metrics.horizontalAdvance('0') + 2,
            (static_cast<int>(kStatusChannels) + 1) * (metrics.height() + 1) + 4};
}

void StatusWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const int charWidth = metrics.horizontalAdvance('0');
    const int rowHeight = metrics.height() + 1;
    painter.fillRect(rect(), background_);
    int x = 0;
    for (uint16_t item : shown_) {
        const int width = statusItems()[item].width * charWidth;
        QStyleOptionHeader header;
        header.initFrom(this);
        header.rect = QRect(x, 0, width, rowHeight + 2);
        header.text = QString::fromUtf8(statusItems()[item].title.data(),
                                        static_cast<qsizetype>(statusItems()[item].title.size()));
        header.textAlignment = Qt::AlignCenter;
        painter.save(); // the style may leave its clip and pen behind
        style()->drawControl(QStyle::CE_Header, &header, &painter, this);
        painter.restore();
        painter.setPen(text_);
        for (unsigned channel = 0; channel < kStatusChannels; ++channel) {
            const QRect cell(x, rowHeight + 2 + static_cast<int>(channel) * rowHeight, width,
                             rowHeight);
            painter.drawText(cell.adjusted(0, 0, -charWidth / 2, 0),
                             Qt::AlignRight | Qt::AlignVCenter, cellText(status_, channel, item));
            painter.drawLine(cell.bottomLeft(), cell.bottomRight());
        }
        x += width;
        painter.drawLine(x - 1, rowHeight + 2, x - 1, rowHeight + 2 + 16 * rowHeight);
    }
}

void StatusWindow::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.setObjectName("StatusPopupMenu");
    const std::pair<const char*, int> entries[] = {{"Clear Status", cmd::kClearStatus},
                                                   {"Send Snapshot", cmd::kSendSnapshot},
                                                   {"Load Snapshot...", cmd::kLoadSnapshot},
                                                   {"Save Snapshot...", cmd::kSaveSnapshot},
                                                   {"Configure Status...", cmd::kConfigureStatus}};
    for (const auto& [title, id] : entries) {
        menu.addAction(title, this, [this, id = id] { command_(id); });
    }
    menu.exec(event->globalPos());
}

} // namespace corvex
