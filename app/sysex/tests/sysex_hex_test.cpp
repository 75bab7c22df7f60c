// The text forms of SysEx bytes and the hex-text parser, case by case.
#include "sysex/sysex_hex.h"

#include <gtest/gtest.h>

namespace corvex {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(SysExHex, PlainRuleParsesAsTheExamplesSay) {
    struct Case {
        const char* text;
        Bytes bytes; // empty: the conversion fails
    } cases[] = {
        {"F0 41 10 42 12 40 00 7F 00 41 F7",
         {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7}},
        {"f07e7f0901f7", {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}},
        {"F0 7 F7", {0xF0, 0xF7}}, // a single digit takes its neighbour with it
        {"F", {}},                 // fewer than 2 characters
        {"", {}},
        {"zz xx", {}},          // no byte at all
        {"F0 F", {0xF0}},       // a last lone digit is dropped
        {"face", {0xFA, 0xCE}}, // letters a-f inside words are digits
        {"000000  F0 7E", {0x00, 0x00, 0x00, 0xF0, 0x7E}},
        {"\r\nF7\t00,", {0xF7, 0x00}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parsePlainHex(c.text), c.bytes) << c.text;
    }
}

TEST(SysExHex, WritersKeepExactWidths) {
    EXPECT_EQ(toPlainHex(Bytes{0xF0, 0x0A, 0xF7}), "F0 0A F7 ");
    EXPECT_EQ(toPlainHex(Bytes{}), "");

    Bytes bytes;
    for (int i = 0; i < 20; ++i) {
        bytes.push_back(static_cast<uint8_t>(0x3C + i));
    }
    bytes[0] = 0xF0;
    std::string formatted = toFormattedHex(bytes);
    ASSERT_EQ(formatted.size(), 2 * kFormattedHexLineLength);
    EXPECT_EQ(formatted.substr(0, 75),
              "000000  F0 3D 3E 3F 40 41 42 43 44 45 46 47 48 49 4A 4B  .=>?@ABCDEFGHIJK\r\n");
    EXPECT_EQ(formatted.substr(75),
              "000010  4C 4D 4E 4F                                      LMNO            \r\n");
    EXPECT_EQ(parseFormattedHex(formatted), bytes);
}

TEST(SysExHex, FormattedRuleNeedsWholeLines) {
    std::string line = toFormattedHex(Bytes{0xF0, 0x01, 0xF7});
    EXPECT_EQ(parseFormattedHex(line), (Bytes{0xF0, 0x01, 0xF7}));
    EXPECT_TRUE(parseFormattedHex(line.substr(0, 74)).empty());
    EXPECT_TRUE(parseFormattedHex(line + " ").empty());
    // The scan stops before the first line that does not end in LF.
    std::string broken = line + line;
    broken[149] = 'x';
    EXPECT_EQ(parseFormattedHex(broken), (Bytes{0xF0, 0x01, 0xF7}));
}

TEST(SysExHex, PaneBytesFollowTheSelectionFirst) {
    std::string formatted = toFormattedHex(Bytes{0xF0, 0x41, 0xF7});
    EXPECT_EQ(paneBytes(formatted, SysExKind::FormattedHex), (Bytes{0xF0, 0x41, 0xF7}));
    // A selection inside a formatted pane is plain hex, offset and characters included.
    EXPECT_EQ(paneBytes(formatted, SysExKind::FormattedHex, formatted.substr(0, 13)),
              (Bytes{0x00, 0x00, 0x00, 0xF0, 0x41}));
    EXPECT_EQ(paneBytes("F0 F7 ", SysExKind::PlainHex), (Bytes{0xF0, 0xF7}));
    EXPECT_TRUE(paneBytes("F", SysExKind::Text).empty());
}

TEST(SysExHex, EveryByteSurvivesBothForms) {
    Bytes all;
    for (int i = 0; i < 256 * 3 + 5; ++i) {
        all.push_back(static_cast<uint8_t>(i * 7));
    }
    EXPECT_EQ(parsePlainHex(toPlainHex(all)), all);
    EXPECT_EQ(parseFormattedHex(toFormattedHex(all)), all);
    EXPECT_EQ(toPlainHex(all).size(), all.size() * 3);
}

} // namespace
} // namespace corvex
