// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the user-interface thread (see
// termination_signals.h), so the program closes along its normal Exit path.
// Threads: construct and use on the user-interface thread.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace corvex {

class TerminationWatcher : public QObject {
    Q_OBJECT

public:
    // Installs the process's signal handlers; valid() is false when that failed.
    explicit TerminationWatcher(QObject* parent = nullptr);
    bool valid() const { return notifier_ != nullptr; }

signals:
    // Once per signal received; after the first, a further signal of the three ends the
    // process at once (their default action), for a close that hangs.
    void terminationRequested(int signalNumber);

private:
    void onReadable();

    int readFd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace corvex
