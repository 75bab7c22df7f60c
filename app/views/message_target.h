// An engine message target (HWND) for a Qt window.
//
// The engine and the other windows post to hwnd(); the post function runs on the poster's
// thread (the engine's real-time threads included), so it only writes into a preallocated
// ring and, when the user-interface thread is not already woken, writes to an eventfd. A
// QSocketNotifier on that eventfd wakes the user-interface thread, which hands every posted
// message to the handler in the order posted.
//
// Notifications whose data waits in the engine's queues (WM_CVX_EVENTS,
// WM_CVX_SCRIPTINPUT, WM_CVX_DOCK_DATA, WM_CVX_AUTOMATION_DATA) are coalesced: while one of
// a kind waits for delivery, further ones of that kind are not queued again, since one
// drain reads everything. A full ring drops the oldest message and counts it.
//
// Threads: construct, destroy, dispatchPending() and the handler on the user-interface
// thread; posting to hwnd() from any thread.
#pragma once

#include "cvx_platform.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace corvex {

class MessageTarget : public QObject {
    Q_OBJECT

public:
    using Handler = std::function<void(uint32_t msg, uintptr_t wParam, intptr_t lParam)>;

    explicit MessageTarget(Handler handler, QObject* parent = nullptr);
    ~MessageTarget() override; // no post reaches the handler afterwards
    MessageTarget(const MessageTarget&) = delete;
    MessageTarget& operator=(const MessageTarget&) = delete;

    // The target to hand to CreateClient, AttachRawMonitor and the like; null when the
    // process has no free message target or no eventfd could be made.
    HWND hwnd() const { return hwnd_; }

    // Messages dropped because the ring was full.
    uint64_t droppedNotifications() const;

    // Delivers everything posted so far to the handler.
    void dispatchPending();

private:
    struct Queue;
    static void post(void* user, uint32_t msg, uintptr_t wParam, intptr_t lParam);
    void onWake();

    Handler handler_;
    std::unique_ptr<Queue> queue_;
    QSocketNotifier* notifier_ = nullptr;
    HWND hwnd_ = nullptr;
};

} // namespace corvex
