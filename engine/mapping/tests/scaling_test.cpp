#include "mapping/scaling.h"
#include "midi/mul_div.h"

#include <gtest/gtest.h>

namespace cvx::mapping {
namespace {

TEST(MulDiv, RoundsHalvesAwayFromZero) {
    EXPECT_EQ(midi::mulDiv(5, 1, 2), 3);
    EXPECT_EQ(midi::mulDiv(-5, 1, 2), -3);
    EXPECT_EQ(midi::mulDiv(5, -1, 2), -3);
    EXPECT_EQ(midi::mulDiv(7, 1, 3), 2);
    EXPECT_EQ(midi::mulDiv(8, 1, 3), 3);
    EXPECT_EQ(midi::mulDiv(-7, 1, -3), 2);
    EXPECT_EQ(midi::mulDiv(0x40000000, 4, 8), 0x20000000); // the product needs 64 bits
    EXPECT_EQ(midi::mulDiv(3, 4, 0), -1);
}

constexpr ValueRange kFull7{0, 127};

TEST(Scaling, InvertedTargetRangeInverts) {
    ValueRange inverted{127, 0};
    EXPECT_EQ(scaleValue(0, kFull7, inverted, 127), 127);
    EXPECT_EQ(scaleValue(127, kFull7, inverted, 127), 0);
    EXPECT_EQ(scaleValue(64, kFull7, inverted, 127), 63);
}

TEST(Scaling, RoundsToNearestAnchoredAtTheTop) {
    ValueRange half{0, 63};
    EXPECT_EQ(scaleValue(0, kFull7, half, 127), 0);
    EXPECT_EQ(scaleValue(1, kFull7, half, 127), 0);
    EXPECT_EQ(scaleValue(2, kFull7, half, 127), 1);
    EXPECT_EQ(scaleValue(127, kFull7, half, 127), 63);
}

TEST(Scaling, OpenBounds) {
    // An open target bound leaves the value as it is.
    EXPECT_EQ(scaleValue(77, kFull7, {0, 0xFFFF}, 127), 77);
    EXPECT_EQ(scaleValue(77, kFull7, {0xFFFF, 10}, 127), 77);
    // Open source bounds read as 0 and the source's top.
    EXPECT_EQ(scaleValue(127, {0xFFFF, 0xFFFF}, {0, 1270}, 127), 1270);
    EXPECT_EQ(scaleValue(0x3FFF, {0xFFFF, 0xFFFF}, {0, 127}, 0x3FFF), 127);
    EXPECT_EQ(scaleValue(0, {0xFFFF, 0xFFFF}, {10, 20}, 0x3FFF), 10);
}

TEST(Scaling, OneValueSourceMapsToTargetMinimum) {
    EXPECT_EQ(scaleValue(5, {5, 5}, {40, 90}, 127), 40);
    EXPECT_EQ(scaleValue(1000, {1000, 1000}, {40, 90}, 0x3FFF), 40);
}

TEST(Scaling, ValuesOutsideTheSourceRangeExtrapolate) {
    EXPECT_EQ(scaleValue(0, {64, 127}, {0, 63}, 127), -64);
    EXPECT_EQ(scaleValue(127, {0, 63}, {0, 63}, 127), 127);
}

} // namespace
} // namespace cvx::mapping
