#include "panic_sequence.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace corvex {
namespace {

using cvx::profile::PanicSettings;

constexpr uint16_t kCC = 0xB0;

std::size_t countOf(const std::vector<ShortMessage>& messages, uint16_t status, uint16_t data1) {
    return static_cast<std::size_t>(
        std::count_if(messages.begin(), messages.end(), [&](const ShortMessage& m) {
            return m.status == status && m.data1 == data1;
        }));
}

TEST(PanicSequenceTest, DefaultsSendSevenMessagesPerChannelInTableOrder) {
    const auto messages = buildPanicSequence(PanicSettings{}, false);
    ASSERT_EQ(messages.size(), 16u * 7u);
    const std::vector<ShortMessage> channel5{
        {kCC, 5, 123, 0}, {0xE0, 5, 0x00, 0x40}, {kCC, 5, 64, 0},   {kCC, 5, 1, 0},
        {kCC, 5, 121, 0}, {kCC, 5, 7, 100},      {kCC, 5, 11, 127},
    };
    EXPECT_EQ(std::vector<ShortMessage>(messages.begin() + 35, messages.begin() + 42), channel5);
    EXPECT_EQ(messages.front().channel, 0);
    EXPECT_EQ(messages.back().channel, 15);
}

TEST(PanicSequenceTest, IndividualNoteOffsComeBeforeVolumeAndExpression) {
    const auto messages = buildPanicSequence(PanicSettings{}, true);
    ASSERT_EQ(messages.size(), 16u * (7u + 128u));
    // Channel 0: five controllers, then 128 note offs with velocity 0, then volume.
    for (uint16_t note = 0; note < 128; ++note) {
        EXPECT_EQ(messages[5 + note], (ShortMessage{0x80, 0, note, 0}));
    }
    EXPECT_EQ(messages[133].data1, 7);
    EXPECT_EQ(messages[134].data1, 11);
    EXPECT_EQ(messages[135].data1, 123); // channel 1 starts again
    EXPECT_EQ(messages[135].channel, 1);
}

TEST(PanicSequenceTest, MinusOneDisablesAMessageAndPanIsNeverSent) {
    PanicSettings settings;
    settings.volume = -1;
    settings.pitchBend = -1;
    settings.pan = 64;
    const auto messages = buildPanicSequence(settings, false);
    EXPECT_EQ(messages.size(), 16u * 5u);
    EXPECT_EQ(countOf(messages, kCC, 7), 0u);
    EXPECT_EQ(countOf(messages, kCC, 10), 0u);
    EXPECT_EQ(std::count_if(messages.begin(), messages.end(),
                            [](const ShortMessage& m) { return m.status == 0xE0; }),
              0);
}

TEST(PanicSequenceTest, ValuesAreKeptInsideTheirDataBytes) {
    PanicSettings settings;
    settings.volume = 300;       // more than a data byte holds
    settings.expression = 65535; // -1 only disables; other values are 16-bit
    settings.pitchBend = 20000;  // more than 14 bits
    settings.modWheel = -2;      // 0xFFFE as 16 bits
    const auto messages = buildPanicSequence(settings, false);
    for (const ShortMessage& m : messages) {
        EXPECT_LE(m.data1, 0x7F);
        EXPECT_LE(m.data2, 0x7F);
    }
    EXPECT_EQ(messages[1], (ShortMessage{0xE0, 0, 0x7F, 0x7F}));
    EXPECT_EQ(messages[3], (ShortMessage{kCC, 0, 1, 0x7F}));
    EXPECT_EQ(messages[5], (ShortMessage{kCC, 0, 7, 0x7F}));
}

TEST(PanicSequenceTest, PitchBendIsSplitIntoLowAndHigh7Bits) {
    PanicSettings settings;
    settings.pitchBend = 0x1234;
    const auto messages = buildPanicSequence(settings, false);
    EXPECT_EQ(messages[1], (ShortMessage{0xE0, 0, 0x34, 0x24}));
}

TEST(PanicRunTest, ZeroDelaySendsEverythingBackToBack) {
    PanicSettings settings;
    settings.minDelay = -5;
    ASSERT_EQ(panicDelayMs(settings), 0);
    PanicRun run(buildPanicSequence(settings, true), panicDelayMs(settings));
    std::size_t sent = 0;
    EXPECT_EQ(run.sendDue(1000, [&](const ShortMessage&) { ++sent; }), 0);
    EXPECT_EQ(sent, run.size());
    EXPECT_TRUE(run.finished());
}

TEST(PanicRunTest, MessagesAreSpacedByAtLeastTheDelay) {
    PanicRun run({{kCC, 0, 123, 0}, {kCC, 1, 123, 0}, {kCC, 2, 123, 0}}, 4);
    std::vector<uint64_t> times;
    uint64_t now = 50;
    auto record = [&](const ShortMessage&) { times.push_back(now); };

    EXPECT_EQ(run.sendDue(now, record), 4); // the first goes at once, the next in 4 ms
    now = 52;
    EXPECT_EQ(run.sendDue(now, record), 2); // too early: nothing, 2 ms left
    now = 54;
    EXPECT_EQ(run.sendDue(now, record), 4);
    now = 70; // late timer: one message only, never a burst to catch up
    EXPECT_EQ(run.sendDue(now, record), 0);
    EXPECT_EQ(times, (std::vector<uint64_t>{50, 54, 70}));
    EXPECT_TRUE(run.finished());
    EXPECT_EQ(run.sendDue(90, record), 0);
    EXPECT_EQ(times.size(), 3u);
}

} // namespace
} // namespace corvex
