#include "transport/time_word.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <vector>

namespace corvex {
namespace {

constexpr std::array<FrameRate, 4> kFrameRates = {{{kRate24, 24, "24 Fps ", 23},
                                                   {kRate25, 25, "25 Fps ", 24},
                                                   {kRate30Drop, 29, "30 Drop ", 29},
                                                   {kRate30, 30, "30 Fps ", 29}}};
constexpr int kMostHours = 23;
constexpr int kMostMinutesOrSeconds = 59;
constexpr int kRateShift = 29;
constexpr int kFirstKeptFrame = 2;
constexpr int kMinutesPerKeptMinute = 10;

bool dropsFramesAt(const TimeFields& f) {
    return f.seconds == 0 && f.frames < kFirstKeptFrame && f.minutes % kMinutesPerKeptMinute != 0;
}

std::vector<std::string_view> fieldTexts(std::string_view text) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of(": ", start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        if (end > start) {
            parts.push_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
    return parts;
}

bool readNumber(std::string_view text, int& value) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range) {
        value = kMostMinutesOrSeconds * 1000; // any huge number is limited below
        return true;
    }
    return error == std::errc() && end == text.data() + text.size() && value >= 0;
}

} // namespace

const FrameRate& frameRate(int index) {
    return kFrameRates[static_cast<size_t>(index >= 0 && index < 4 ? index : kRate30)];
}

int rateIndexOfStoredValue(int stored) {
    for (const FrameRate& rate : kFrameRates) {
        if (rate.storedValue == stored) {
            return rate.index;
        }
    }
    return kRate30;
}

int rateIndexOf(uint32_t word) {
    return static_cast<int>(word >> kRateShift & 3);
}

TimeFields fieldsOf(uint32_t word) {
    return {static_cast<int>(word >> 24 & 0x1F), static_cast<int>(word >> 16 & 0x3F),
            static_cast<int>(word >> 8 & 0x3F), static_cast<int>(word & 0x1F)};
}

uint32_t timeWord(const TimeFields& f, int rateIndex) {
    return static_cast<uint32_t>(rateIndex & 3) << kRateShift |
           static_cast<uint32_t>(f.hours & 0x1F) << 24 |
           static_cast<uint32_t>(f.minutes & 0x3F) << 16 |
           static_cast<uint32_t>(f.seconds & 0x3F) << 8 | static_cast<uint32_t>(f.frames & 0x1F);
}

std::string timeText(uint32_t word) {
    const int rate = rateIndexOf(word);
    TimeFields f = fieldsOf(word);
    f.hours = std::min(f.hours, kMostHours);
    f.minutes = std::min(f.minutes, kMostMinutesOrSeconds);
    f.seconds = std::min(f.seconds, kMostMinutesOrSeconds);
    f.frames = std::min(f.frames, frameRate(rate).highestFrame);
    if (rate == kRate30Drop && dropsFramesAt(f)) {
        f.frames = kFirstKeptFrame;
    }
    char text[48];
    std::snprintf(text, sizeof text, "%2.2d:%2.2d:%2.2d:%2.2d", f.hours, f.minutes, f.seconds,
                  f.frames);
    return text;
}

uint32_t parseLocation(std::string_view text, int rateIndex) {
    const std::vector<std::string_view> parts = fieldTexts(text);
    int values[4] = {};
    if (parts.size() < 4) {
        return 0;
    }
    for (size_t i = 0; i < 4; ++i) {
        if (!readNumber(parts[i], values[i])) {
            return 0;
        }
    }
    const TimeFields f{std::min(values[0], kMostHours), std::min(values[1], kMostMinutesOrSeconds),
                       std::min(values[2], kMostMinutesOrSeconds),
                       std::min(values[3], frameRate(rateIndex).highestFrame)};
    return timeWord(f, 0);
}

std::array<uint8_t, 10> fullFrameMessage(uint32_t word) {
    return {0xF0,
            0x7F,
            0x7F,
            0x01,
            0x01,
            static_cast<uint8_t>(word >> 24 & 0x7F),
            static_cast<uint8_t>(word >> 16 & 0x3F),
            static_cast<uint8_t>(word >> 8 & 0x3F),
            static_cast<uint8_t>(word & 0x1F),
            0xF7};
}

} // namespace corvex
