// "MIDI Port Activity": a row of lamps per open port that light while the port carries
// traffic. A 10 ms timer polls the engine's port status (a copy that never waits on MIDI)
// and redraws only the lamps that changed.
//
// User-interface thread only.
#pragma once

#include "views/port_activity.h"

#include <QTimer>
#include <QWidget>

#include <vector>

namespace corvex {

// Where the window's ports and their status come from.
class PortActivitySource {
public:
    virtual ~PortActivitySource() = default;
    virtual std::vector<ActivityPort> openPorts(bool inputs) const = 0;
    virtual void portStatus(CPortStatus& status) = 0;
    // The engine's millisecond clock.
    virtual uint32_t now() const = 0;
};

class PortActivityWindow : public QWidget {
    Q_OBJECT
public:
    explicit PortActivityWindow(PortActivitySource& source, QWidget* parent = nullptr);

    // The ports or their names changed: forgets the lamps, lays out and repaints.
    void refresh();
    const PortActivity& activity() const { return activity_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void poll();
    QRect lampRect(int row, int lamp) const;
    int rowTop(int row) const;

    PortActivitySource& source_;
    PortActivity activity_;
    QTimer timer_;
    QFont titleFont_;
    int lineHeight_ = 16;
    int charWidth_ = 7;
    int nameWidth_ = 100;
};

} // namespace corvex
