#include "sysex/sysex_pacer.h"

#include <algorithm>

namespace corvex {

SysExPiece cutSysExPiece(std::span<const uint8_t> bytes, size_t offset, const SysExPacing& pacing) {
    SysExPiece piece;
    piece.offset = offset;
    size_t pieceSize = std::max<size_t>(1, pacing.pieceSize);
    size_t length = std::min(bytes.size() - offset, pieceSize);
    if (pacing.cutAfterF7) {
        auto begin = bytes.begin() + static_cast<std::ptrdiff_t>(offset);
        auto f7 = std::find(begin, begin + static_cast<std::ptrdiff_t>(length), uint8_t{0xF7});
        if (f7 != begin + static_cast<std::ptrdiff_t>(length)) {
            length = static_cast<size_t>(f7 - begin) + 1;
            piece.endedAtF7 = true;
        }
    }
    piece.length = static_cast<uint16_t>(length);
    uint32_t afterF7 = piece.endedAtF7 ? std::min(pacing.afterF7DelayMs, kMaxSysExDelayMs) : 0;
    piece.delayAfterMs = afterF7 + std::min(pacing.bufferDelayMs, kMaxSysExDelayMs);
    return piece;
}

SysExPacer::SysExPacer(std::span<const uint8_t> bytes, const SysExPacing& pacing)
    : bytes_(bytes), pacing_(pacing) {}

std::optional<SysExPiece> SysExPacer::next() {
    if (finished()) {
        return std::nullopt;
    }
    SysExPiece piece = cutSysExPiece(bytes_, position_, pacing_);
    position_ += piece.length;
    return piece;
}

int SysExPacer::percent() const {
    return bytes_.empty() ? 100 : static_cast<int>(position_ * 100 / bytes_.size());
}

} // namespace corvex
