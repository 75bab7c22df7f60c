#include "frame_effects.h"

#include "dropped_files.h"
#include "file_errors.h"

#include <QApplication>

#include <algorithm>

namespace corvex {
namespace {

constexpr int kRefusalOnMs = 200;
constexpr int kRefusalOffMs = 100;
constexpr int kRefusalFlashes = 3;

} // namespace

FrameEffects::FrameEffects(FrameServices& services) : services_(services) {
    panicPacingTimer_.setSingleShot(true);
    panicPacingTimer_.setTimerType(Qt::PreciseTimer);
    connect(&panicPacingTimer_, &QTimer::timeout, this, &FrameEffects::panicTick);
    keyboardLightTimer_.setInterval(kKeyboardLightFlashMs);
    connect(&keyboardLightTimer_, &QTimer::timeout, this, &FrameEffects::flashKeyboardLight);
    dropRefusalTimer_.setSingleShot(true);
    connect(&dropRefusalTimer_, &QTimer::timeout, this, &FrameEffects::refusalStep);
}

FrameEffects::~FrameEffects() {
    if (panic_) {
        QApplication::restoreOverrideCursor();
    }
    if (refusalSteps_ % 2 == 1) {
        QApplication::restoreOverrideCursor();
    }
}

// ---- Panic reset -------------------------------------------------------------------------

void FrameEffects::startPanic() {
    if (services_.engineClient() == 0 || panic_) {
        return;
    }
    const cvx::profile::PanicSettings settings = services_.panicSettings();
    panic_.emplace(buildPanicSequence(settings, services_.generalOptions().panicNoteOffs),
                   panicDelayMs(settings));
    QApplication::setOverrideCursor(Qt::BusyCursor);
    panicClock_.start();
    panicTick();
}

void FrameEffects::panicTick() {
    if (!panic_) {
        return;
    }
    const auto now = static_cast<uint64_t>(panicClock_.elapsed());
    const int wait = panic_->sendDue(
        now, [this](const ShortMessage& message) { services_.sendShortMessage(message); });
    if (!panic_->finished()) {
        panicPacingTimer_.start(std::max(1, wait));
        return;
    }
    endPanic();
    emit panicFinished();
}

void FrameEffects::endPanic() {
    panicPacingTimer_.stop();
    if (panic_) {
        panic_.reset();
        QApplication::restoreOverrideCursor();
    }
}

// ---- Keyboard light ----------------------------------------------------------------------

void FrameEffects::startKeyboardLight() {
    if (!keyboardLightTimer_.isActive()) {
        keyboardLightTimer_.start();
    }
}

void FrameEffects::stopKeyboardLight() {
    keyboardLightTimer_.stop();
    keyboardLit_ = false;
    emit keyboardLightChanged(false);
}

void FrameEffects::flashKeyboardLight() {
    keyboardLit_ = !keyboardLit_;
    emit keyboardLightChanged(keyboardLit_);
}

// ---- Dropped files -----------------------------------------------------------------------

void FrameEffects::dropFiles(const std::vector<std::string>& paths) {
    const DropDecision drop = decideDrop(paths);
    QApplication::beep();
    if (drop.kind != DroppedFileKind::Unsuitable) {
        if (const std::string error = fileOpenError(drop.path); !error.empty()) {
            emit fileUnreadable(error);
            return;
        }
    }
    switch (drop.kind) {
    case DroppedFileKind::Unsuitable:
        if (refusalSteps_ == 0) {
            refusalStep();
        }
        break;
    case DroppedFileKind::Profile:
        if (services_.loadProfile(drop.path)) {
            emit profileLoaded(drop.path);
        }
        break;
    case DroppedFileKind::DataMap:
        services_.loadGlobalMap(drop.path);
        break;
    case DroppedFileKind::SysEx:
        services_.openSysExFile(drop.path);
        break;
    case DroppedFileKind::Snapshot:
        services_.loadSnapshot(drop.path);
        break;
    }
}

void FrameEffects::refusalStep() {
    // The "no" cursor three times: 200 ms shown, 100 ms not.
    const bool showing = refusalSteps_ % 2 == 1;
    if (showing) {
        QApplication::restoreOverrideCursor();
    }
    if (refusalSteps_ == 2 * kRefusalFlashes) {
        refusalSteps_ = 0;
        return;
    }
    if (!showing) {
        QApplication::setOverrideCursor(Qt::ForbiddenCursor);
    }
    ++refusalSteps_;
    dropRefusalTimer_.start(showing ? kRefusalOffMs : kRefusalOnMs);
}

void FrameEffects::stop() {
    endPanic();
    keyboardLightTimer_.stop();
}

} // namespace corvex
