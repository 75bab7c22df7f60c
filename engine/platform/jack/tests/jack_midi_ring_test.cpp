#include "platform/jack/jack_midi_ring.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace cvx::platform {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes popAll(JackMidiRing& ring, std::vector<uint64_t>* times = nullptr) {
    Bytes all;
    Bytes record(ring.capacity());
    uint64_t time = 0;
    while (const size_t length = ring.pop(record.data(), time)) {
        all.insert(all.end(), record.begin(), record.begin() + long(length));
        if (times != nullptr) {
            times->push_back(time);
        }
    }
    return all;
}

TEST(JackMidiRing, RecordsComeOutWholeInOrderWithTheirTimes) {
    JackMidiRing ring(1024);
    const Bytes note = {0x90, 0x3C, 0x64};
    const Bytes clock = {0xF8};
    ASSERT_TRUE(ring.push(1000, note.data(), note.size()));
    ASSERT_TRUE(ring.push(2000, clock.data(), clock.size()));
    std::vector<uint64_t> times;
    EXPECT_EQ(popAll(ring, &times), (Bytes{0x90, 0x3C, 0x64, 0xF8}));
    EXPECT_EQ(times, (std::vector<uint64_t>{1000, 2000}));
    EXPECT_EQ(ring.pendingBytes(), 0u);
}

TEST(JackMidiRing, ARecordThatDoesNotFitIsRefusedWhole) {
    JackMidiRing ring(64);
    EXPECT_GE(ring.capacity(), 64u);
    const Bytes tooBig(ring.capacity() - JackMidiRing::kRecordOverhead + 1, 0x22);
    EXPECT_FALSE(ring.push(0, tooBig.data(), tooBig.size()));
    EXPECT_FALSE(ring.push(0, tooBig.data(), 0));

    const Bytes record(20, 0x11);
    size_t accepted = 0;
    while (ring.push(accepted, record.data(), record.size())) {
        ++accepted;
    }
    EXPECT_EQ(accepted, ring.capacity() / (record.size() + JackMidiRing::kRecordOverhead));
    EXPECT_EQ(popAll(ring), Bytes(accepted * record.size(), 0x11));
    EXPECT_TRUE(ring.push(0, record.data(), record.size()));
}

TEST(JackMidiRing, RecordsSurviveWrappingAroundTheBuffer) {
    JackMidiRing ring(100);
    Bytes expected;
    Bytes received;
    for (uint8_t round = 0; round < 200; ++round) {
        const Bytes record(1 + round % 37, round);
        ASSERT_TRUE(ring.push(round, record.data(), record.size())) << int(round);
        expected.insert(expected.end(), record.begin(), record.end());
        const Bytes out = popAll(ring);
        received.insert(received.end(), out.begin(), out.end());
    }
    EXPECT_EQ(received, expected);
}

TEST(JackMidiRing, ARecordCanBeReadInPieces) {
    JackMidiRing ring(4096);
    Bytes sysex(3000);
    std::iota(sysex.begin(), sysex.end(), uint8_t{0});
    const Bytes after = {0xF8};
    ASSERT_TRUE(ring.push(5, sysex.data(), sysex.size()));
    ASSERT_TRUE(ring.push(6, after.data(), after.size()));

    Bytes pieces;
    for (size_t piece : {size_t{1000}, size_t{1000}, size_t{999}, size_t{1}}) {
        const size_t pending = ring.pendingBytes();
        EXPECT_EQ(pending, sysex.size() - pieces.size());
        EXPECT_EQ(ring.pendingTime(), 5u);
        pieces.resize(pieces.size() + piece);
        ring.read(pieces.data() + pieces.size() - piece, piece);
    }
    EXPECT_EQ(pieces, sysex);
    EXPECT_EQ(ring.pendingBytes(), 1u);
    EXPECT_EQ(ring.pendingTime(), 6u);
}

} // namespace
} // namespace cvx::platform
