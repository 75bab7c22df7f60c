#include "views/message_target.h"

#include "cvx_records.h"
#include "views/post_ring.h"

#include <QSocketNotifier>

#include <sys/eventfd.h>
#include <unistd.h>

#include <array>
#include <atomic>

namespace corvex {
namespace {

constexpr size_t kRingCapacity = 8192;

// The coalesced notification kinds, each with its pending flag's index.
constexpr std::array<uint32_t, 4> kCoalescedKinds = {WM_CVX_EVENTS, WM_CVX_SCRIPTINPUT,
                                                     WM_CVX_DOCK_DATA, WM_CVX_AUTOMATION_DATA};

int coalescedIndex(uint32_t msg) {
    for (size_t i = 0; i < kCoalescedKinds.size(); ++i) {
        if (kCoalescedKinds[i] == msg) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

} // namespace

struct MessageTarget::Queue {
    PostRing<kRingCapacity> ring;
    std::array<std::atomic<bool>, kCoalescedKinds.size()> pending{};
    std::atomic<bool> woken{false};
    int eventFd = -1;
};

MessageTarget::MessageTarget(Handler handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)), queue_(std::make_unique<Queue>()) {
    queue_->eventFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (queue_->eventFd < 0) {
        return;
    }
    notifier_ = new QSocketNotifier(queue_->eventFd, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &MessageTarget::onWake);
    hwnd_ = cvxWindowCreate(&MessageTarget::post, queue_.get());
}

MessageTarget::~MessageTarget() {
    if (hwnd_ != nullptr) {
        cvxWindowDestroy(hwnd_);
    }
    if (queue_->eventFd >= 0) {
        delete notifier_;
        close(queue_->eventFd);
    }
}

uint64_t MessageTarget::droppedNotifications() const {
    return queue_->ring.dropped();
}

// Runs on the poster's thread: no allocation, no lock, at most one non-blocking write.
void MessageTarget::post(void* user, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    auto* queue = static_cast<Queue*>(user);
    const int kind = coalescedIndex(msg);
    if (kind >= 0 && queue->pending[static_cast<size_t>(kind)].exchange(true)) {
        return;
    }
    queue->ring.push(PostedMessage{msg, wParam, lParam});
    if (!queue->woken.exchange(true)) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = write(queue->eventFd, &one, sizeof one);
    }
}

void MessageTarget::onWake() {
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t readBytes = read(queue_->eventFd, &count, sizeof count);
    dispatchPending();
}

void MessageTarget::dispatchPending() {
    // Cleared before draining: a post that lands after the last pop wakes the loop again.
    queue_->woken.store(false);
    PostedMessage message;
    while (queue_->ring.pop(message)) {
        const int kind = coalescedIndex(message.msg);
        if (kind >= 0) {
            queue_->pending[static_cast<size_t>(kind)].store(false);
        }
        if (handler_) {
            handler_(message.msg, message.wParam, message.lParam);
        }
    }
}

} // namespace corvex
