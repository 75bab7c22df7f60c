// MIDI time code locations as 32-bit time words (frames in bits 0-4, seconds 8-13, minutes
// 16-21, hours 24-28, frame-rate index in bits 29-30), the frame-rate table, the text a
// time word is shown as, the parsing of a typed location and the full-frame message that
// locates a receiver.
//
// Threads: any (pure functions).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace corvex {

struct FrameRate {
    int index;       // 0-3, as in the time word's rate bits
    int storedValue; // the "MTC Frame Rate" setting: 24, 25, 29 (30 drop) or 30
    const char* label;
    int highestFrame;
};

inline constexpr int kRate24 = 0;
inline constexpr int kRate25 = 1;
inline constexpr int kRate30Drop = 2;
inline constexpr int kRate30 = 3;

const FrameRate& frameRate(int index); // indexes outside 0-3 give 30 fps
// The rate of a stored "MTC Frame Rate" value: 24, 25 and 29 by name, anything else 30.
int rateIndexOfStoredValue(int stored);

struct TimeFields {
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    int frames = 0;
};

int rateIndexOf(uint32_t word);
TimeFields fieldsOf(uint32_t word);
// The word of `fields` at `rateIndex`, each field kept to its bits.
uint32_t timeWord(const TimeFields& fields, int rateIndex);

// "hh:mm:ss:ff", each field limited to its range at the word's rate (frames to the rate's
// highest frame); at 30 drop-frame the frames 0 and 1 a dropped minute does not have are
// shown as 2.
std::string timeText(uint32_t word);

// A typed location ("1:2:3:4", "01 02 03 04") as a word with rate bits 0: split at colons
// and blanks, 0 when a field is missing or not a number; hours limited to 23, minutes and
// seconds to 59, frames to the highest frame of `rateIndex`.
uint32_t parseLocation(std::string_view text, int rateIndex);

// The full-frame time code message (to all devices) for `word`.
std::array<uint8_t, 10> fullFrameMessage(uint32_t word);

} // namespace corvex
