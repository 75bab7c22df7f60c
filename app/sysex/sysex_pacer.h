// The pacing of a SysEx send: the bytes go out in pieces of at most the output buffer size,
// each cut after its first F7 when "Delay after F7" is on, with the after-F7 delay after a
// piece that ended at F7 and the buffer delay after every piece. A state machine without
// clocks: the caller sends the piece it is given and waits the returned delay on a timer
// (never sleeping on the user-interface thread), then asks for the next. Cancelling takes
// effect at the next piece. One thread at a time (the user-interface thread).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace corvex {

inline constexpr uint32_t kMaxSysExDelayMs = 10000;

struct SysExPacing {
    uint16_t pieceSize = 256;     // the output SysEx buffer size, 1-65535
    bool cutAfterF7 = true;       // "Configure SysEx Buffers"
    uint32_t afterF7DelayMs = 60; // "DelayAmount"
    uint32_t bufferDelayMs = 60;  // "OutBufferDelayAmount"
};

struct SysExPiece {
    size_t offset = 0;
    uint16_t length = 0;
    bool endedAtF7 = false;
    uint32_t delayAfterMs = 0; // after-F7 delay (when ended at F7) plus the buffer delay
};

// The length of the piece starting at `offset`: at most the piece size, cut after the first
// F7 when `cutAfterF7`.
SysExPiece cutSysExPiece(std::span<const uint8_t> bytes, size_t offset, const SysExPacing& pacing);

class SysExPacer {
public:
    SysExPacer(std::span<const uint8_t> bytes, const SysExPacing& pacing);

    // The next piece to send, or nothing when every byte was sent or the send was cancelled.
    std::optional<SysExPiece> next();
    void cancel() { cancelled_ = true; }
    bool cancelled() const { return cancelled_; }
    bool finished() const { return cancelled_ || position_ >= bytes_.size(); }
    size_t position() const { return position_; }
    // pos × 100 / size, as the progress bar shows it.
    int percent() const;
    std::span<const uint8_t> bytes() const { return bytes_; }

private:
    std::span<const uint8_t> bytes_;
    SysExPacing pacing_;
    size_t position_ = 0;
    bool cancelled_ = false;
};

// A pane's bytes are sent inside the progress dialog only when they are more than one piece.
inline bool paneSendNeedsProgress(size_t size, uint16_t pieceSize) {
    return size > pieceSize;
}

} // namespace corvex
