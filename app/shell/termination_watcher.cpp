#include "shell/termination_watcher.h"

#include "shell/termination_signals.h"

#include <QSocketNotifier>

namespace corvex {

TerminationWatcher::TerminationWatcher(QObject* parent)
    : QObject(parent), readFd_(installTerminationSignals()) {
    if (readFd_ < 0) {
        return;
    }
    notifier_ = new QSocketNotifier(readFd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationWatcher::onReadable);
}

void TerminationWatcher::onReadable() {
    const int signalNumber = takeTerminationSignal(readFd_);
    if (signalNumber != 0) {
        restoreDefaultTerminationSignals();
        emit terminationRequested(signalNumber);
    }
}

} // namespace corvex
