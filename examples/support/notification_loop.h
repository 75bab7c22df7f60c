// The main loop of a program without a window system: waits with poll() on an event target
// (the engine's notifications) and on a stop descriptor that SIGINT and SIGTERM write, so
// Ctrl-C ends the program between two messages and it closes its ports in order.
//
// Threads: one loop per process (it installs the signal handlers), made and pumped on the
// program's main thread. requestStop() may be called from any thread.
#pragma once

#include "cvx_platform.h"

#include <functional>

namespace corvex::examples {

class NotificationLoop {
public:
    using Handler = std::function<void(const CvxMessage&)>;

    NotificationLoop();
    ~NotificationLoop();
    NotificationLoop(const NotificationLoop&) = delete;
    NotificationLoop& operator=(const NotificationLoop&) = delete;

    // False when the event target or the stop descriptor could not be made.
    bool ready() const;
    // The message target to hand to CreateClient.
    HWND window() const;

    // Waits up to timeoutMs (-1: until something happens) and hands every waiting message to
    // `handle`, in order. Returns false once a stop was requested (a signal or requestStop).
    bool pump(int timeoutMs, const Handler& handle);
    // Makes pump() return false from now on.
    void requestStop();

    uint64_t droppedNotifications() const;

private:
    CvxEventTarget* target_ = nullptr;
    bool stopped_ = false;
};

} // namespace corvex::examples
