#include "transport/ui/transport_display.h"

#include <QFontMetrics>
#include <QPainter>

namespace corvex {
namespace {

constexpr int kDisplayPoints = 26;
constexpr int kMargin = 6;

} // namespace

TransportDisplay::TransportDisplay(QWidget* parent) : QWidget(parent) {
    QFont display(QStringLiteral("Arial"), kDisplayPoints, QFont::Black);
    display.setStyleHint(QFont::SansSerif);
    setFont(display);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void TransportDisplay::setColours(const QColor& background, const QColor& text) {
    background_ = background;
    foreground_ = text;
    update();
}

void TransportDisplay::setText(const QString& text) {
    if (text != text_) {
        text_ = text;
        update();
    }
}

QSize TransportDisplay::sizeHint() const {
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(QStringLiteral("00:00:00:00")) + 2 * kMargin,
            metrics.height() + 2 * kMargin};
}

void TransportDisplay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), background_);
    painter.setPen(foreground_);
    painter.drawText(rect(), Qt::AlignCenter, text_);
}

} // namespace corvex
