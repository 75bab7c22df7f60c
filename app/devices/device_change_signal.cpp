#include "device_change_signal.h"

#include "cvx_devices.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

namespace corvex {

DeviceChangeSignal::DeviceChangeSignal() : fd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
    cvxMidiSetDeviceChangeCallback(&DeviceChangeSignal::onDeviceChange, this);
}

DeviceChangeSignal::~DeviceChangeSignal() {
    cvxMidiSetDeviceChangeCallback(nullptr, nullptr);
    if (fd_ >= 0) {
        close(fd_);
    }
}

void DeviceChangeSignal::onDeviceChange(void* self) {
    static_cast<DeviceChangeSignal*>(self)->notify();
}

void DeviceChangeSignal::notify() {
    pending_.store(true);
    if (fd_ >= 0) {
        const uint64_t one = 1;
        // Non-blocking; a full counter still reads as readable, so a failed write loses
        // nothing.
        [[maybe_unused]] const ssize_t written = write(fd_, &one, sizeof one);
    }
}

bool DeviceChangeSignal::take() {
    if (fd_ >= 0) {
        uint64_t count = 0;
        [[maybe_unused]] const ssize_t got = read(fd_, &count, sizeof count);
    }
    return pending_.exchange(false);
}

} // namespace corvex
