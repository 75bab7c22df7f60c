// The "MIDI Status" window: one row per channel, one column per shown status item, in the
// status colours and the monitor font; its context menu offers the status commands.
// Threads: the user-interface thread only.
#pragma once

#include "status_columns.h"
#include "views/channel_status.h"

#include <QColor>
#include <QWidget>

#include <functional>

namespace corvex {

class StatusWindow : public QWidget {
    Q_OBJECT
public:
    using CommandHandler = std::function<void(int command)>;

    StatusWindow(const ChannelStatus& status, CommandHandler command, QWidget* parent = nullptr);

    void setColumns(const StatusColumns& columns);
    void setLook(const QColor& text, const QColor& background, const QFont& font);
    // The text cell (channel 0..15, item) shows: blank without a value, "Bend" less 8192.
    static QString cellText(const ChannelStatus& status, unsigned channel, unsigned item);

    // The whole grid: a scroll area around the window scrolls it rather than cut it.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    const ChannelStatus& status_;
    CommandHandler command_;
    std::vector<uint16_t> shown_;
    QColor text_ = Qt::black;
    QColor background_ = Qt::white;
};

} // namespace corvex
