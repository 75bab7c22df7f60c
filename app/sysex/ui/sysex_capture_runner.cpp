#include "sysex/ui/sysex_capture_runner.h"

#include "cvx_records.h"

namespace corvex {

SysExCaptureRunner::SysExCaptureRunner(SysExEngine& engine, SysExReceiveBuffer& buffer,
                                       QObject* parent)
    : QObject(parent), engine_(engine), buffer_(buffer),
      target_(std::make_unique<MessageTarget>(
          [this](uint32_t msg, uintptr_t, intptr_t lParam) { handle(msg, lParam); })) {}

SysExCaptureRunner::~SysExCaptureRunner() {
    if (capturing_) {
        engine_.stopCapture();
    }
}

bool SysExCaptureRunner::start(SysExCaptureMode mode, int dumpFd) {
    capture_.emplace(buffer_, mode, dumpFd);
    capturing_ = target_->hwnd() != nullptr && engine_.startCapture(target_->hwnd());
    return capturing_;
}

std::string SysExCaptureRunner::stop() {
    if (!capturing_) {
        return {};
    }
    target_->dispatchPending();
    emitHex(capture_->drain(copier()));
    engine_.stopCapture();
    capturing_ = false;
    emit counted(capture_->bytesCopied());
    return capture_->shortfallMessage();
}

void SysExCaptureRunner::handle(uint32_t msg, intptr_t lParam) {
    if (msg != WM_CVX_SYSEX_CAPTURED || !capturing_) {
        return;
    }
    take(static_cast<size_t>(lParam));
    emit counted(capture_->bytesCopied());
    if (capture_->overflowed() || capture_->dumpFailed()) {
        emit cannotContinue();
    }
}

SysExReceiveBuffer::Copy SysExCaptureRunner::copier() {
    return [this](uint8_t* destination, size_t capacity) {
        return engine_.copyCaptured(destination, capacity);
    };
}

void SysExCaptureRunner::take(size_t announced) {
    emitHex(capture_->captured(announced, copier()));
}

void SysExCaptureRunner::emitHex(const std::string& hex) {
    if (!hex.empty()) {
        emit arrived(QString::fromLatin1(hex.data(), static_cast<qsizetype>(hex.size())));
    }
}

} // namespace corvex
