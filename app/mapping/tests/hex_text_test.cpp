#include "mapping/hex_text.h"

#include <gtest/gtest.h>

namespace corvex {
namespace {

using Bytes = std::vector<uint8_t>;
using End = HexTextReading::End;

TEST(HexText, WritesUpperCasePairsWithSingleSpaces) {
    EXPECT_EQ(formatHexText(Bytes{0xF0, 0x0a, 0x7F, 0xF7}), "F0 0A 7F F7");
    EXPECT_EQ(formatHexText(Bytes{}), "");
}

TEST(HexText, ReadsTokensOfPairsSeparatedBySpacesOrCommas) {
    HexTextReading reading = parseHexText(" f0,43  1020 ,f7 ", 1022);
    EXPECT_EQ(reading.end, End::Complete);
    EXPECT_EQ(reading.bytes, (Bytes{0xF0, 0x43, 0x10, 0x20, 0xF7}));
    EXPECT_EQ(parseHexText("", 1022).bytes, Bytes{});
}

TEST(HexText, StopsAtTheFirstTokenOrPairThatIsNotHex) {
    HexTextReading odd = parseHexText("F0 ABC F7", 1022);
    EXPECT_EQ(odd.end, End::Invalid);
    EXPECT_EQ(odd.bytes, (Bytes{0xF0, 0xAB}));
    EXPECT_EQ(odd.stop, 5u);

    HexTextReading word = parseHexText("F0 GG F7", 1022);
    EXPECT_EQ(word.end, End::Invalid);
    EXPECT_EQ(word.bytes, Bytes{0xF0});
    EXPECT_EQ(word.stop, 3u);
}

TEST(HexText, StopsAfterTheLimit) {
    HexTextReading reading = parseHexText("01 02 03", 2);
    EXPECT_EQ(reading.end, End::TooLong);
    EXPECT_EQ(reading.bytes, (Bytes{1, 2}));
    EXPECT_EQ(parseHexText("01 02", 2).end, End::Complete);
}

TEST(HexText, ReadsBackWhatItWrites) {
    Bytes all(256);
    for (size_t i = 0; i < all.size(); ++i) {
        all[i] = static_cast<uint8_t>(i);
    }
    EXPECT_EQ(parseHexText(formatHexText(all), 1022).bytes, all);
}

} // namespace
} // namespace corvex
