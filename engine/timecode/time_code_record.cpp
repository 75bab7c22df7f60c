#include "timecode/time_code_record.h"

#include <algorithm>

namespace cvx::timecode {

namespace {

constexpr uint8_t kLastHour = 23;
constexpr uint8_t kLastMinute = 59;
constexpr uint8_t kLastSecond = 59;
constexpr uint8_t kFirstDropFrame = 2;

struct RateInfo {
    uint8_t framesPerSecond;
    uint8_t rateCode;
    uint16_t rateTimes100;
};

RateInfo rateFor(uint16_t configuredRate) {
    switch (configuredRate) {
    case 0:
        return {24, kRate24, 2400};
    case 1:
        return {25, kRate25, 2500};
    case 2:
        return {30, kRate30Drop, 3000};
    case 4:
        return {30, kRate30, 2997};
    default:
        return {30, kRate30, 3000};
    }
}

bool dropsFramesAt(const TimeCodeRecord& record) {
    return record.rateCode == kRate30Drop && record.seconds == 0 && record.minutes % 10 != 0;
}

uint8_t field(uint32_t packed, int shift, uint8_t last) {
    return std::min(static_cast<uint8_t>(packed >> shift), last);
}

} // namespace

void applyConfiguredRate(TimeCodeRecord& record, uint16_t configuredRate) {
    RateInfo rate = rateFor(configuredRate);
    record.framesPerSecond = rate.framesPerSecond;
    record.rateCode = rate.rateCode;
    record.rateTimes100 = rate.rateTimes100;
}

uint8_t lastFrameOf(uint8_t rateCode) {
    switch (rateCode) {
    case kRate24:
        return 23;
    case kRate25:
        return 24;
    default:
        return 29;
    }
}

void setClampedTime(TimeCodeRecord& record, uint32_t packed) {
    record.hours = field(packed, 24, kLastHour);
    record.minutes = field(packed, 16, kLastMinute);
    record.seconds = field(packed, 8, kLastSecond);
    record.frames = field(packed, 0, static_cast<uint8_t>(record.framesPerSecond - 1));
    if (dropsFramesAt(record)) {
        record.frames = std::max(record.frames, kFirstDropFrame);
    }
}

uint32_t packedReport(const TimeCodeRecord& record) {
    return uint32_t{record.rateCode} << 29 | uint32_t{record.hours & 0x1Fu} << 24 |
           uint32_t{record.minutes} << 16 | uint32_t{record.seconds} << 8 | record.frames;
}

void advanceFrame(TimeCodeRecord& record) {
    if (++record.frames < record.framesPerSecond) {
        return;
    }
    record.frames = 0;
    if (++record.seconds < 60) {
        return;
    }
    record.seconds = 0;
    if (++record.minutes < 60) {
        if (dropsFramesAt(record)) {
            record.frames = kFirstDropFrame;
        }
        return;
    }
    record.minutes = 0;
    record.hours = record.hours >= kLastHour ? 0 : record.hours + 1;
}

} // namespace cvx::timecode
