// The program's status data and what works on it: the "MIDI Status" view, Clear Status,
// "Configure Status...", snapshot load and save, and Send Snapshot (one message every 4 ms
// on a timer, with a progress dialog that can cancel it).
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
    // A program change the status data saw (the frame hands it to the panels).
    using PatchSeenHandler = std::function<void(const PatchSeen& patch)>;
    // The folder the snapshot file dialogs start in, and the one the user chose there.
    using FolderGetter = std::function<std::string()>;
    using FolderSetter = std::function<void(const std::string& folder)>;

    StatusTools(DisplaySettings& display, Sender send);
    ~StatusTools();

    void setPatchSeenHandler(PatchSeenHandler handler) { patchSeen_ = std::move(handler); }
    void setSnapshotFolder(FolderGetter get, FolderSetter set) {
        folder_ = std::move(get);
        setFolder_ = std::move(set);
    }

    // The view, made for the frame to show (the frame owns and closes it); the status data
    // stays with this object when it closes.
    StatusWindow* createWindow();
    StatusWindow* window() const { return window_; }

    // The commands this object runs on the status data (clear, configure, load, save, send).
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
    // Applies a configuration (the dialog's OK): columns and snapshot options.
    void configure(const StatusColumns& columns, const SnapshotOptions& options);

    void setLook(const QColor& text, const QColor& background, const QFont& font);
    const ChannelStatus& status() const { return status_; }

private:
    void editConfiguration(QWidget* owner);
    void askLoad(QWidget* owner);
    void askSave(QWidget* owner);
    QString startFolder() const;
    void rememberFolder(const QString& path);
    void sendNext();
    void stopSending();
    void refresh();

    DisplaySettings& display_;
    Sender send_;
    PatchSeenHandler patchSeen_;
    FolderGetter folder_;
    FolderSetter setFolder_;
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
