// The program's status data and what works on it: the "MIDI Status" window, Clear Status,
// snapshot load and save, and Send Snapshot (one message every 4 ms on a timer, with a
// progress dialog that can cancel it).
//
// Threads: the user-interface thread only; follow() is called by the main monitor there.
#pragma once

#include "settings_profile.h"
#include "views/channel_status.h"
#include "views/monitor_line.h"
#include "views/snapshot_messages.h"
#include "views/status_window.h"

#include <QPointer>
#include <QProgressDialog>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

namespace corvex {

class StatusTools {
public:
    // Sends one short message (status | data1 << 8 | data2 << 16).
    using Sender = std::function<void(uint32_t message)>;

    StatusTools(DisplaySettings& display, Sender send);
    ~StatusTools();

    // The commands this object runs (open the view, clear, load, save, send).
    static bool handles(int command);
    bool runCommand(int command, QWidget* owner);

    // The main monitor's lines: channel messages update the status data.
    void follow(const MonitorLine& line);

    // Replaces the status data with a snapshot file; the message of a refusal (the data is
    // then unchanged) or empty.
    std::string loadSnapshot(const std::string& path);
    std::string saveSnapshot(const std::string& path) const;
    void clear();
    // Starts sending the status data; a send in progress is cancelled first.
    void sendSnapshot(QWidget* owner);
    bool sending() const { return timer_.isActive(); }

    void setLook(const QColor& text, const QColor& background, const QFont& font);
    const ChannelStatus& status() const { return status_; }
    StatusWindow* window() const { return window_; }

private:
    void openWindow(QWidget* owner);
    void sendNext();
    void stopSending();
    void refresh();

    DisplaySettings& display_;
    Sender send_;
    ChannelStatus status_;
    QPointer<StatusWindow> window_;
    QColor text_ = Qt::black, background_ = Qt::white;
    QFont font_;
    std::vector<uint32_t> pending_;
    size_t next_ = 0;
    QTimer timer_;
    QPointer<QProgressDialog> progress_;
};

} // namespace corvex
