// Piece cutting and pacing of SysEx sends.
#include "sysex/sysex_pacer.h"

#include <gtest/gtest.h>

#include <vector>

namespace corvex {
namespace {

using Bytes = std::vector<uint8_t>;

struct Sent {
    Bytes bytes;
    uint32_t delay;
    bool operator==(const Sent&) const = default;
};

std::vector<Sent> sendAll(const Bytes& bytes, const SysExPacing& pacing) {
    std::vector<Sent> sent;
    SysExPacer pacer(bytes, pacing);
    while (auto piece = pacer.next()) {
        auto begin = bytes.begin() + static_cast<std::ptrdiff_t>(piece->offset);
        sent.push_back({Bytes(begin, begin + piece->length), piece->delayAfterMs});
    }
    return sent;
}

TEST(SysExPacer, CutsPiecesWithAndWithoutF7) {
    const Bytes twoMessages{0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7, 0xF0, 0x41, 0x10, 0xF7};
    struct Case {
        const char* name;
        Bytes bytes;
        SysExPacing pacing;
        std::vector<Sent> expected;
    } cases[] = {
        {"two pieces after F7",
         twoMessages,
         {256, true, 60, 40},
         {{{0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7}, 100}, {{0xF0, 0x41, 0x10, 0xF7}, 100}}},
        {"one piece without F7 cutting", twoMessages, {256, false, 60, 40}, {{twoMessages, 40}}},
        {"zero delays", twoMessages, {256, false, 0, 0}, {{twoMessages, 0}}},
        {"buffer size cuts a long message",
         {0xF0, 1, 2, 3, 4, 0xF7},
         {4, true, 60, 0},
         {{{0xF0, 1, 2, 3}, 0}, {{4, 0xF7}, 60}}},
        {"delays are bounded", {0xF7}, {8, true, 99999, 70000}, {{{0xF7}, 20000}}},
        {"exactly one buffer", {1, 2, 3, 4}, {4, true, 5, 5}, {{{1, 2, 3, 4}, 5}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sendAll(c.bytes, c.pacing), c.expected) << c.name;
    }
}

TEST(SysExPacer, ProgressAndCancelStopAtTheNextPiece) {
    Bytes bytes(1000, 0x10);
    SysExPacer pacer(bytes, {300, true, 0, 0});
    ASSERT_TRUE(pacer.next());
    EXPECT_EQ(pacer.percent(), 30);
    ASSERT_TRUE(pacer.next());
    pacer.cancel();
    EXPECT_FALSE(pacer.next());
    EXPECT_TRUE(pacer.finished());
    EXPECT_EQ(pacer.position(), 600u);
}

TEST(SysExPacer, OnlyMoreThanOnePieceNeedsTheProgressDialog) {
    EXPECT_FALSE(paneSendNeedsProgress(256, 256));
    EXPECT_TRUE(paneSendNeedsProgress(257, 256));
}

} // namespace
} // namespace corvex
