#include "end_notice.h"

#include <cstdint>
#include <stdexcept>
#include <sys/eventfd.h>
#include <unistd.h>

namespace corvex {

EndNotice::EndNotice(std::function<void()> handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)) {
    fd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (fd_ < 0) {
        throw std::runtime_error("Could not create Timer");
    }
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { receive(); });
}

EndNotice::~EndNotice() {
    notifier_.reset();
    close(fd_);
}

void EndNotice::notify(void* user) {
    uint64_t one = 1;
    [[maybe_unused]] ssize_t written = write(static_cast<EndNotice*>(user)->fd_, &one, sizeof one);
}

void EndNotice::receive() {
    uint64_t count = 0;
    if (read(fd_, &count, sizeof count) == sizeof count && count > 0) {
        handler_();
    }
}

} // namespace corvex
