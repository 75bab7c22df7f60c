#include "shell/handoff_block.h"

#include <gtest/gtest.h>

#include <cstring>

namespace corvex {
namespace {

TEST(HandOffBlockTest, FieldsSitAtTheirFixedOffsets) {
    const HandOff handOff{FileVerb::Open, "/maps/a.vxm", FileVerb::Send, "/dumps/b.syx"};
    const auto bytes = encodeHandOff(handOff);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), 528u);
    EXPECT_EQ((*bytes)[0], 1);
    EXPECT_EQ((*bytes)[4], 3);
    EXPECT_EQ(std::memcmp(bytes->data() + 8, "/maps/a.vxm", 12), 0);
    EXPECT_EQ(std::memcmp(bytes->data() + 268, "/dumps/b.syx", 13), 0);
    EXPECT_EQ(decodeHandOff(*bytes), handOff);
}

TEST(HandOffBlockTest, LongPathsAreRefusedNotCut) {
    HandOff handOff{FileVerb::Open, std::string(259, 'm'), FileVerb::None, ""};
    const auto fits = encodeHandOff(handOff);
    ASSERT_TRUE(fits);
    EXPECT_EQ(decodeHandOff(*fits)->mapPath.size(), 259u);
    handOff.mapPath.push_back('m');
    EXPECT_FALSE(encodeHandOff(handOff));
    EXPECT_FALSE(encodeHandOff({FileVerb::None, "", FileVerb::Play, std::string("a\0b", 3)}));
}

TEST(HandOffBlockTest, DamagedBlocksAreRejected) {
    HandOffBytes bytes = *encodeHandOff({FileVerb::Play, "/a.vxm", FileVerb::None, ""});
    EXPECT_FALSE(decodeHandOff(std::span<const uint8_t>(bytes.data(), 527)));

    HandOffBytes badVerb = bytes;
    badVerb[0] = 4;
    EXPECT_FALSE(decodeHandOff(badVerb));
    badVerb[0] = 0xFF; // a negative verb
    badVerb[3] = 0xFF;
    EXPECT_FALSE(decodeHandOff(badVerb));

    HandOffBytes unterminated = bytes;
    std::memset(unterminated.data() + 268, 'x', 260);
    EXPECT_FALSE(decodeHandOff(unterminated));
}

TEST(HandOffBlockTest, AFileNeedsBothVerbAndPath) {
    CommandLine line;
    line.mapPath = "/a.vxm"; // verb 0: not handed over
    line.sysexVerb = FileVerb::Send;
    const HandOff handOff = handOffOf(line);
    EXPECT_EQ(handOff, HandOff{});

    HandOffBytes bytes{};
    bytes[0] = 2; // a verb with an empty path
    EXPECT_EQ(decodeHandOff(bytes), HandOff{});
}

} // namespace
} // namespace corvex
