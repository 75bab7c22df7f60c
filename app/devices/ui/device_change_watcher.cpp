#include "device_change_watcher.h"

namespace corvex {

namespace {

constexpr int kPollMs = 100;

} // namespace

DeviceChangeWatcher::DeviceChangeWatcher(DeviceChangeSignal& signal, std::function<void()> check,
                                         QObject* parent)
    : QObject(parent), signal_(signal), check_(std::move(check)) {
    debounce_.setSingleShot(true);
    debounce_.setInterval(kDebounceMs);
    connect(&debounce_, &QTimer::timeout, this, [this] { check_(); });
    if (signal_.fd() >= 0) {
        notifier_ = std::make_unique<QSocketNotifier>(signal_.fd(), QSocketNotifier::Read);
        connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { onWake(); });
    } else {
        poll_.setInterval(kPollMs);
        connect(&poll_, &QTimer::timeout, this, [this] {
            if (signal_.pending()) {
                onWake();
            }
        });
        poll_.start();
    }
}

void DeviceChangeWatcher::onWake() {
    if (signal_.take()) {
        debounce_.start(); // restarts a running wait
    }
}

} // namespace corvex
