#include "transport/time_word.h"

#include <gtest/gtest.h>

namespace corvex {
namespace {

uint32_t word(int h, int m, int s, int f, int rate) {
    return timeWord({h, m, s, f}, rate);
}

TEST(TimeWordText, FieldsAreLimitedToTheirRangesAtTheWordsRate) {
    struct Case {
        uint32_t word;
        const char* text;
    };
    const Case cases[] = {
        {word(1, 2, 3, 4, kRate25), "01:02:03:04"},
        {word(31, 63, 63, 31, kRate24), "23:59:59:23"},
        {word(31, 63, 63, 31, kRate25), "23:59:59:24"},
        {word(31, 63, 63, 31, kRate30), "23:59:59:29"},
        // 30 drop-frame: frames 0 and 1 do not exist at the start of most minutes.
        {word(0, 1, 0, 0, kRate30Drop), "00:01:00:02"},
        {word(0, 1, 0, 1, kRate30Drop), "00:01:00:02"},
        {word(0, 10, 0, 0, kRate30Drop), "00:10:00:00"},
        {word(0, 0, 0, 1, kRate30Drop), "00:00:00:01"},
        {word(0, 1, 1, 0, kRate30Drop), "00:01:01:00"},
        {word(0, 1, 0, 0, kRate30), "00:01:00:00"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(timeText(c.word), c.text) << std::hex << c.word;
    }
}

// Frames are limited to the rate's own range (not to 30 whatever the rate).
TEST(TimeWordLocation, TypedLocationsAreParsedAndLimitedPerRate) {
    struct Case {
        const char* text;
        int rate;
        const char* shown;
    };
    const Case cases[] = {
        {"1:2:3:4", kRate25, "01:02:03:04"},     {"01 02 03 04", kRate30, "01:02:03:04"},
        {"99:99:99:99", kRate25, "23:59:59:24"}, {"99:99:99:99", kRate24, "23:59:59:23"},
        {"99:99:99:99", kRate30, "23:59:59:29"}, {"0:0:0:29", kRate30Drop, "00:00:00:29"},
        {"1:2:3", kRate30, "00:00:00:00"},       {"", kRate30, "00:00:00:00"},
        {"1:x:3:4", kRate30, "00:00:00:00"},     {"1:-2:3:4", kRate30, "00:00:00:00"},
        {"1::2:3:4", kRate30, "01:02:03:04"},    {"99999999999:0:0:0", kRate30, "23:00:00:00"},
    };
    for (const Case& c : cases) {
        const uint32_t location = parseLocation(c.text, c.rate);
        EXPECT_EQ(rateIndexOf(location), 0) << c.text;
        EXPECT_EQ(timeText(location | timeWord({}, c.rate)), c.shown) << c.text;
    }
}

TEST(TimeWordRates, TableAndStoredValues) {
    struct Case {
        int stored;
        int index;
        const char* label;
    };
    for (Case c : {Case{24, 0, "24 Fps "}, Case{25, 1, "25 Fps "}, Case{29, 2, "30 Drop "},
                   Case{30, 3, "30 Fps "}, Case{0, 3, "30 Fps "}, Case{2997, 3, "30 Fps "}}) {
        EXPECT_EQ(rateIndexOfStoredValue(c.stored), c.index) << c.stored;
        EXPECT_STREQ(frameRate(c.index).label, c.label);
    }
}

TEST(TimeWordFullFrame, CarriesTheRateInTheHoursByte) {
    const std::array<uint8_t, 10> expected = {0xF0, 0x7F, 0x7F, 0x01, 0x01,
                                              0x21, 0x00, 0x00, 0x00, 0xF7};
    EXPECT_EQ(fullFrameMessage(word(1, 0, 0, 0, kRate25)), expected);
    EXPECT_EQ(fullFrameMessage(word(23, 59, 58, 29, kRate30))[5], 0x60 | 23);
}

} // namespace
} // namespace corvex
