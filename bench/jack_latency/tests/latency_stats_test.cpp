#include "latency_stats.h"
#include "probe_message.h"

#include <gtest/gtest.h>

namespace {

using namespace cvx::bench;

TEST(LatencyStats, PercentilesUseTheNearestRankAndIgnoreOrder) {
    std::vector<double> values;
    for (int i = 100; i >= 1; --i) {
        values.push_back(i);
    }
    EXPECT_EQ(percentile(values, 0.5), 50);
    EXPECT_EQ(percentile(values, 0.99), 99);
    EXPECT_EQ(percentile(values, 1.0), 100);
    EXPECT_EQ(percentile(values, 0.0), 1);
    // One slow outlier among few samples is the p99, not hidden by interpolation.
    EXPECT_EQ(percentile({1, 1, 1, 9}, 0.99), 9);
    EXPECT_EQ(percentile({}, 0.5), 0);
}

TEST(LatencyStats, SummaryOfNoSamplesIsZeroAndCountsThem) {
    const Summary none = summarise({});
    EXPECT_EQ(none.count, 0u);
    EXPECT_EQ(none.max, 0);
    const Summary some = summarise({64, 0, 128, 64});
    EXPECT_EQ(some.count, 4u);
    EXPECT_EQ(some.median, 64);
    EXPECT_EQ(some.p99, 128);
    EXPECT_EQ(some.max, 128);
}

TEST(BenchLine, HasSixTabSeparatedFieldsAndAtMostThreeDecimals) {
    EXPECT_EQ(benchLine("JACK latency p99", 2666.6666, 0.0, "us", "<= 1 period (1333.333 us)"),
              "BENCH\tJACK latency p99\t2666.667\t0\tus\t<= 1 period (1333.333 us)");
    EXPECT_EQ(benchLine("lost", 0, std::nullopt, "msgs", ""), "BENCH\tlost\t0\t-\tmsgs\t-");
    EXPECT_EQ(benchNumber(1.5), "1.5");
    EXPECT_EQ(benchNumber(-0.0001), "0");
    EXPECT_EQ(benchNumber(1e7), "10000000");
}

TEST(ProbeMessage, EveryNumberSurvivesTheTripAndStaysANoteOn) {
    for (size_t k = 0; k < kProbeNumbers; ++k) {
        uint8_t bytes[3];
        encodeProbe(k, bytes);
        ASSERT_EQ(bytes[0], 0x90);
        ASSERT_LE(bytes[1], 0x7F);
        ASSERT_GE(bytes[2], 1); // velocity 0 would be a Note Off
        ASSERT_LE(bytes[2], 0x7F);
        // A data map may move it to another channel; the number stays readable.
        ASSERT_EQ(decodeProbe(0x91, bytes[1], bytes[2]), k);
    }
}

TEST(ProbeMessage, OtherMessagesCarryNoNumber) {
    EXPECT_FALSE(decodeProbe(0x80, 1, 1)); // Note Off
    EXPECT_FALSE(decodeProbe(0x90, 1, 0)); // Note On with velocity 0 is a Note Off
    EXPECT_FALSE(decodeProbe(0xB0, 1, 1));
    EXPECT_FALSE(decodeProbe(0x90, 0x80, 1)); // not a data byte
}

} // namespace
