#include "sysex/ui/sysex_send_runner.h"

#include <algorithm>
#include <chrono>

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
    // The delay runs from the moment the piece went out, not from the end of the work done
    // for it here, so the gaps between pieces stay as configured.
    auto sentAt = std::chrono::steady_clock::now();
    SysExSendStep step = session_.sendNext(engine_);
    emit progressed(session_.percent());
    if (step.state == SysExSendState::Wait) {
        auto due = sentAt + std::chrono::milliseconds(step.waitMs);
        auto left =
            std::chrono::round<std::chrono::milliseconds>(due - std::chrono::steady_clock::now());
        timer_.start(std::max(left, std::chrono::milliseconds(0)));
        return;
    }
    running_ = false;
    emit finished(step);
}

} // namespace corvex
