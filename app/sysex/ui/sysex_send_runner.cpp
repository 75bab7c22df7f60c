#include "sysex/ui/sysex_send_runner.h"

namespace corvex {

SysExSendRunner::SysExSendRunner(SysExSendSession session, SysExEngine& engine, QObject* parent)
    : QObject(parent), session_(std::move(session)), engine_(engine) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &SysExSendRunner::sendNext);
}

void SysExSendRunner::start(int startDelayMs) {
    running_ = true;
    timer_.start(startDelayMs);
}

void SysExSendRunner::cancel() {
    session_.cancel();
    if (running_ && timer_.isActive()) {
        timer_.stop();
        sendNext(); // ends at once as cancelled
    }
}

void SysExSendRunner::sendNext() {
    SysExSendStep step = session_.sendNext(engine_);
    emit progressed(session_.percent());
    if (step.state == SysExSendState::Wait) {
        timer_.start(static_cast<int>(step.waitMs));
        return;
    }
    running_ = false;
    emit finished(step);
}

} // namespace corvex
