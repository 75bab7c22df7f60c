#include "support/notification_loop.h"

#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>

namespace corvex::examples {
namespace {

// The stop descriptor, shared with the signal handler (which may only write to it).
std::atomic<int> stopFd{-1};

void signalStop(int) {
    const int saved = errno;
    const uint64_t one = 1;
    [[maybe_unused]] ssize_t written = write(stopFd.load(), &one, sizeof one);
    errno = saved;
}

void installHandlers() {
    struct sigaction action = {};
    action.sa_handler = signalStop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

void restoreHandlers() {
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
}

} // namespace

NotificationLoop::NotificationLoop() : target_(cvxEventTargetCreate(0)) {
    stopFd.store(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
    if (stopFd.load() >= 0) {
        installHandlers();
    }
}

NotificationLoop::~NotificationLoop() {
    restoreHandlers();
    const int fd = stopFd.exchange(-1);
    if (fd >= 0) {
        close(fd);
    }
    cvxEventTargetDestroy(target_);
}

bool NotificationLoop::ready() const {
    return target_ != nullptr && stopFd.load() >= 0;
}

HWND NotificationLoop::window() const {
    return cvxEventTargetWindow(target_);
}

bool NotificationLoop::pump(int timeoutMs, const Handler& handle) {
    pollfd fds[2] = {{cvxEventTargetFd(target_), POLLIN, 0}, {stopFd.load(), POLLIN, 0}};
    if (!stopped_ && poll(fds, 2, timeoutMs) > 0) {
        CvxMessage message{};
        while (cvxEventTargetNext(target_, &message)) {
            handle(message);
        }
        stopped_ = (fds[1].revents & POLLIN) != 0;
    }
    return !stopped_;
}

void NotificationLoop::requestStop() {
    signalStop(0);
}

uint64_t NotificationLoop::droppedNotifications() const {
    return cvxEventTargetDropped(target_);
}

} // namespace corvex::examples
