// The big time or position display of a transport window: one line of text centred on a
// filled background, in the heavy display font. update() coalesces repaints, so a display
// fed at the engine's report rate repaints at most once per frame the screen shows.
//
// Threads: the user-interface thread only.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

namespace corvex {

class TransportDisplay : public QWidget {
    Q_OBJECT

public:
    explicit TransportDisplay(QWidget* parent = nullptr);

    void setColours(const QColor& background, const QColor& text);
    void setText(const QString& text);
    const QString& text() const { return text_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    QColor background_ = Qt::black;
    QColor foreground_ = Qt::green;
};

} // namespace corvex
