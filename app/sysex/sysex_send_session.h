// One send of a byte block, piece by piece: the caller calls sendNext() and, when told to
// wait, calls it again after that many milliseconds on a timer (the user-interface thread
// never sleeps). A nonzero result of the engine ends the send as failed, except that with
// auto-adjust on a piece refused for want of a free output buffer is tried again after a
// short wait (for at most kSysExRetryLimitMs in all), since the buffers free up as the
// engine plays them out. Cancelling takes effect at the next piece.
// User-interface thread only.
#pragma once

#include "sysex/sysex_engine.h"
#include "sysex/sysex_pacer.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace corvex {

inline constexpr uint32_t kSysExRetryDelayMs = 5;
inline constexpr uint32_t kSysExRetryLimitMs = 5000;

enum class SysExSendState { Wait, Done, Cancelled, Failed };

struct SysExSendStep {
    SysExSendState state = SysExSendState::Done;
    uint32_t waitMs = 0; // for Wait
    uint16_t result = 0; // the engine's result for Failed
};

class SysExSendSession {
public:
    SysExSendSession(std::vector<uint8_t> bytes, const SysExPacing& pacing, bool autoAdjust);

    SysExSendStep sendNext(SysExEngine& engine);
    void cancel() { pacer_.cancel(); }
    int percent() const { return pacer_.percent(); }
    size_t size() const { return bytes_.size(); }
    size_t piecesSent() const { return piecesSent_; }

private:
    std::vector<uint8_t> bytes_;
    SysExPacer pacer_;
    bool autoAdjust_;
    std::optional<SysExPiece> refused_;
    uint32_t retriedMs_ = 0;
    size_t piecesSent_ = 0;
};

} // namespace corvex
