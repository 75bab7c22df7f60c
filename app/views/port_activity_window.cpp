#include "views/port_activity_window.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cstring>

namespace corvex {
namespace {

constexpr int kPollMs = 10;
constexpr int kCellChars = 3;
constexpr int kMargin = 8;

// Five colour pairs, used by the port rows in turn: (off, on).
const std::pair<QColor, QColor> kLampColours[5] = {
    {QColor(0, 70, 0), QColor(0, 255, 0)},     {QColor(80, 60, 0), QColor(255, 200, 0)},
    {QColor(80, 0, 0), QColor(255, 40, 40)},   {QColor(0, 40, 90), QColor(40, 160, 255)},
    {QColor(70, 0, 70), QColor(255, 80, 255)},
};

} // namespace

PortActivityWindow::PortActivityWindow(PortActivitySource& source, QWidget* parent)
    : QWidget(parent), source_(source) {
    setWindowTitle(tr("MIDI Port Activity"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    titleFont_ = font();
    titleFont_.setBold(true);
    timer_.setInterval(kPollMs);
    connect(&timer_, &QTimer::timeout, this, &PortActivityWindow::poll);
    refresh();
}

void PortActivityWindow::refresh() {
    timer_.stop();
    activity_.setPorts(source_.openPorts(true), source_.openPorts(false));
    const QFontMetrics metrics(font());
    lineHeight_ = std::max(metrics.height(), QFontMetrics(titleFont_).height()) + 2;
    charWidth_ = std::max(metrics.averageCharWidth(), 1);
    nameWidth_ = 0;
    for (const auto& row : activity_.rows()) {
        const QFont& used = row.kind == ActivityRow::Kind::Title ? titleFont_ : font();
        nameWidth_ = std::max(
            nameWidth_, QFontMetrics(used).horizontalAdvance(QString::fromStdString(row.text)));
    }
    nameWidth_ += 2 * charWidth_;
    updateGeometry();
    update();
    timer_.start();
}

QSize PortActivityWindow::sizeHint() const {
    const int rows = static_cast<int>(activity_.rows().size());
    return {2 * kMargin + nameWidth_ + kLampCount * kCellChars * charWidth_,
            2 * kMargin + rowTop(rows)};
}

// Titles take a second line for the lamp captions.
int PortActivityWindow::rowTop(int row) const {
    int top = kMargin;
    for (int i = 0; i < row && i < static_cast<int>(activity_.rows().size()); ++i) {
        top += activity_.rows()[i].kind == ActivityRow::Kind::Title ? 2 * lineHeight_ : lineHeight_;
    }
    return top;
}

QRect PortActivityWindow::lampRect(int row, int lamp) const {
    const int cell = kCellChars * charWidth_;
    const int side = std::min(10, lineHeight_ - 2);
    const int x = kMargin + nameWidth_ + lamp * cell + (cell - side) / 2;
    return {x, rowTop(row) + (lineHeight_ - side) / 2, side, side};
}

void PortActivityWindow::poll() {
    CPortStatus status;
    std::memset(&status, 0, sizeof status);
    source_.portStatus(status);
    for (const LampChange& change : activity_.update(status, source_.now())) {
        update(lampRect(change.row, change.lamp));
    }
}

void PortActivityWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const auto captions = lampCaptions();
    const int cell = kCellChars * charWidth_;
    int portRow = 0;
    for (int row = 0; row < static_cast<int>(activity_.rows().size()); ++row) {
        const ActivityRow& shown = activity_.rows()[row];
        const int top = rowTop(row);
        const QRect line(kMargin, top, nameWidth_, lineHeight_);
        if (shown.kind == ActivityRow::Kind::Title) {
            painter.setFont(titleFont_);
            painter.setPen(palette().color(QPalette::ButtonText));
            painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                             QString::fromStdString(shown.text));
            painter.setFont(font());
            for (int lamp = 1; lamp < kLampCount; ++lamp) {
                const QRect caption(kMargin + nameWidth_ + lamp * cell, top + lineHeight_, cell,
                                    lineHeight_);
                painter.drawText(caption, Qt::AlignCenter,
                                 QString::fromStdString(captions[lamp - 1]));
            }
            continue;
        }
        painter.setFont(font());
        painter.setPen(palette().color(QPalette::ButtonText));
        painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                         QString::fromStdString(shown.text));
        const auto& [off, on] = kLampColours[portRow++ % 5];
        painter.setPen(QPen(QColor(30, 30, 30), 1));
        for (int lamp = 0; lamp < kLampCount; ++lamp) {
            painter.setBrush(activity_.lit(row, lamp) ? on : off);
            painter.drawEllipse(QRectF(lampRect(row, lamp)).adjusted(0.5, 0.5, -0.5, -0.5));
        }
    }
}

} // namespace corvex
