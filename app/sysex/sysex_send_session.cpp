#include "sysex/sysex_send_session.h"

namespace corvex {

SysExSendSession::SysExSendSession(std::vector<uint8_t> bytes, const SysExPacing& pacing,
                                   bool autoAdjust)
    : bytes_(std::move(bytes)), pacer_(bytes_, pacing), autoAdjust_(autoAdjust) {}

SysExSendStep SysExSendSession::sendNext(SysExEngine& engine) {
    if (pacer_.cancelled()) {
        return {SysExSendState::Cancelled};
    }
    std::optional<SysExPiece> piece = refused_ ? refused_ : pacer_.next();
    refused_.reset();
    if (!piece) {
        return {SysExSendState::Done};
    }
    uint16_t result =
        engine.sendPiece(std::span<const uint8_t>(bytes_).subspan(piece->offset, piece->length));
    if (result == kSysExNoFreeBuffer && autoAdjust_ && retriedMs_ < kSysExRetryLimitMs) {
        refused_ = piece;
        retriedMs_ += kSysExRetryDelayMs;
        return {SysExSendState::Wait, kSysExRetryDelayMs};
    }
    if (result != kSysExSent) {
        return {SysExSendState::Failed, 0, result};
    }
    retriedMs_ = 0;
    ++piecesSent_;
    if (pacer_.finished()) {
        return {pacer_.cancelled() ? SysExSendState::Cancelled : SysExSendState::Done};
    }
    return {SysExSendState::Wait, piece->delayAfterMs};
}

} // namespace corvex
