// Watches the device-change wake-up on the user-interface thread and runs the check 350 ms
// after the last announcement (a new one restarts the wait), so that a device that brings
// several ports, or re-enumerates, is handled once.
//
// User-interface thread only.
#pragma once

#include "device_change_signal.h"

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <functional>
#include <memory>

namespace corvex {

class DeviceChangeWatcher : public QObject {
    Q_OBJECT
public:
    static constexpr int kDebounceMs = 350;

    // `check` runs on the user-interface thread (normally CMidi::checkDeviceChange followed
    // by the frame's refresh when it reports a change).
    DeviceChangeWatcher(DeviceChangeSignal& signal, std::function<void()> check,
                        QObject* parent = nullptr);

    bool waiting() const { return debounce_.isActive(); }

private:
    void onWake();

    DeviceChangeSignal& signal_;
    std::function<void()> check_;
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer poll_; // only when no eventfd could be made
    QTimer debounce_;
};

} // namespace corvex
