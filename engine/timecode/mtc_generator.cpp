#include "timecode/mtc_generator.h"

#include "timecode/time_code_record.h"

#include <algorithm>

namespace cvx::timecode {

namespace {

// A quarter frame lasts 10^9 / (4 × rate) ns = 25 × 10^9 / (rate × 100) ns.
constexpr uint64_t kQuarterFrameNsTimesRate100 = 25'000'000'000;
constexpr uint64_t kStepNumerator = 100'000'000;
constexpr uint64_t kStepScale = 256;
constexpr uint64_t kLowestRateTimes100 = 100;
constexpr uint8_t kLastPiece = 7;

uint64_t stepFor(uint16_t rateTimes100) {
    return kStepNumerator / std::max<uint64_t>(rateTimes100, kLowestRateTimes100) * kStepScale;
}

uint8_t pieceData(const TimeCodeRecord& t, uint8_t piece) {
    switch (piece) {
    case 0:
        return t.frames & 0x0F;
    case 1:
        return 0x10 | t.frames >> 4;
    case 2:
        return 0x20 | (t.seconds & 0x0F);
    case 3:
        return 0x30 | t.seconds >> 4;
    case 4:
        return 0x40 | (t.minutes & 0x0F);
    case 5:
        return 0x50 | t.minutes >> 4;
    case 6:
        return 0x60 | (t.hours & 0x0F);
    default:
        return 0x70 | t.rateCode << 1 | (t.hours >> 4 & 1);
    }
}

} // namespace

void MtcGenerator::configure(uint16_t rate, uint32_t start) {
    applyConfiguredRate(state_.time, rate);
    state_.step = stepFor(state_.time.rateTimes100);
    setClampedTime(state_.time, start);
    state_.start = state_.time;
    // A running generator sends the new time as a whole sequence, from piece 0.
    state_.quarterFrames = 0;
}

MessageInterval MtcGenerator::interval() const {
    uint32_t rate = std::max<uint32_t>(state_.time.rateTimes100, kLowestRateTimes100);
    return {kQuarterFrameNsTimesRate100, rate};
}

uint8_t MtcGenerator::nextPiece() {
    if (state_.quarterFrames == 0) {
        state_.piece = 0;
    }
    uint8_t data = pieceData(state_.time, state_.piece);
    ++state_.quarterFrames;
    if (state_.piece == kLastPiece) {
        advanceFrame(state_.time);
        advanceFrame(state_.time);
    }
    state_.piece = (state_.piece + 1) % (kLastPiece + 1);
    return data;
}

} // namespace cvx::timecode
