// Runs a SysEx send on the user-interface thread without ever sleeping there: each piece is
// sent from a precise single-shot timer whose interval is the delay the previous piece asked
// for, so the window keeps answering input and a cancel takes effect at the next piece.
// User-interface thread only.
#pragma once

#include "sysex/sysex_engine.h"
#include "sysex/sysex_send_session.h"

#include <QObject>
#include <QTimer>

namespace corvex {

class SysExSendRunner : public QObject {
    Q_OBJECT

public:
    // The engine must outlive the runner.
    SysExSendRunner(SysExSendSession session, SysExEngine& engine, QObject* parent = nullptr);

    // Sends the first piece after `startDelayMs`.
    void start(int startDelayMs = 0);
    void cancel();
    bool running() const { return running_; }
    const SysExSendSession& session() const { return session_; }

signals:
    void progressed(int percent);
    // Done, Cancelled or Failed (with the engine's result).
    void finished(corvex::SysExSendStep end);

private:
    void sendNext();

    SysExSendSession session_;
    SysExEngine& engine_;
    QTimer timer_;
    bool running_ = false;
};

} // namespace corvex
