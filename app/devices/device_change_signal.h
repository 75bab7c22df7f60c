// The wake-up for device changes. The MIDI service calls its device-change callback on its
// own thread; the callback installed here only marks a change as pending and makes an
// eventfd readable, which the user-interface thread watches (DeviceChangeWatcher starts the
// 350 ms debounce from it, and CMidi::checkDeviceChange() does the work).
//
// The constructor and destructor and take() run on the user-interface thread; the callback
// on the MIDI service's thread, where it neither allocates nor blocks.
#pragma once

#include <atomic>

namespace corvex {

class DeviceChangeSignal {
public:
    // Installs the device-change callback (one at a time per process).
    DeviceChangeSignal();
    // Removes the callback; when this returns it is not running and not called again.
    ~DeviceChangeSignal();
    DeviceChangeSignal(const DeviceChangeSignal&) = delete;
    DeviceChangeSignal& operator=(const DeviceChangeSignal&) = delete;

    // The eventfd to watch for reading; -1 when none could be made (pending() still works).
    int fd() const { return fd_; }
    bool pending() const { return pending_.load(); }
    // Clears the pending mark and drains the eventfd; whether a change was pending.
    bool take();

    // What the callback does; also callable directly.
    void notify();

private:
    static void onDeviceChange(void* self);

    int fd_ = -1;
    std::atomic<bool> pending_{false};
};

} // namespace corvex
