#include "timecode/time_code_tracker.h"

#include "timecode/time_code_record.h"

#include <algorithm>

namespace cvx::timecode {

namespace {

constexpr uint32_t kFullFrameLength = 10;
constexpr uint8_t kFullFrameHeader[] = {0xF0, 0x7F, 0x7F, 0x01, 0x01};
constexpr uint32_t kPiecesPerTime = 8;
constexpr uint16_t kDefaultRate = 3;

void setLowNibble(uint8_t& field, uint8_t data) {
    field = (field & 0xF0) | (data & 0x0F);
}

void setHighBits(uint8_t& field, uint8_t data, uint8_t mask) {
    field = (field & 0x0F) | (data & mask) << 4;
}

bool isFullFrame(const uint8_t* data, uint32_t length) {
    return data != nullptr && length >= kFullFrameLength &&
           std::equal(std::begin(kFullFrameHeader), std::end(kFullFrameHeader), data);
}

} // namespace

bool TimeCodeTracker::quarterFrame(uint8_t data) {
    TimeCodeRecord& t = state_.time;
    ++state_.piecesSinceReport;
    switch (data >> 4 & 0x07) {
    case 0:
        setLowNibble(t.frames, data);
        return false;
    case 1:
        setHighBits(t.frames, data, 0x01);
        return false;
    case 2:
        setLowNibble(t.seconds, data);
        return false;
    case 3:
        setHighBits(t.seconds, data, 0x03);
        return false;
    case 4:
        setLowNibble(t.minutes, data);
        return false;
    case 5:
        setHighBits(t.minutes, data, 0x03);
        return false;
    case 6:
        setLowNibble(t.hours, data);
        return false;
    default:
        setHighBits(t.hours, data, 0x01);
        t.rateCode = data >> 1 & 0x03;
        if (state_.piecesSinceReport < kPiecesPerTime) {
            return false;
        }
        state_.piecesSinceReport = 0;
        return true;
    }
}

bool TimeCodeTracker::fullFrame(const uint8_t* data, uint32_t length) {
    if (!isFullFrame(data, length)) {
        return false;
    }
    TimeCodeRecord& t = state_.time;
    t.rateCode = data[5] >> 5 & 0x03;
    t.hours = std::min<uint8_t>(data[5] & 0x1F, 23);
    t.minutes = std::min<uint8_t>(data[6], 59);
    t.seconds = std::min<uint8_t>(data[7], 59);
    t.frames = std::min(data[8], lastFrameOf(t.rateCode));
    state_.piecesSinceReport = 0;
    return true;
}

uint32_t TimeCodeTracker::report() const {
    return packedReport(state_.time);
}

void TimeCodeTracker::reset() {
    applyConfiguredRate(state_.time, kDefaultRate);
    setClampedTime(state_.time, 0);
    state_.piecesSinceReport = 0;
}

} // namespace cvx::timecode
