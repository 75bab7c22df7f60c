#include "shell/window_layout.h"

#include <gtest/gtest.h>

namespace corvex {
namespace {

using enum ChildKind;

TEST(WindowLayoutTest, ListsWindowsBottomFirstInFourBitGroups) {
    const std::vector<ChildKind> kinds = {InputMonitor, MainMonitor, RoutingView};
    const uint32_t value = encodeLayout(kinds);
    EXPECT_EQ(value, 0x4013u);
    EXPECT_EQ(decodeLayout(value), kinds);
    EXPECT_EQ(decodeLayout(0), std::vector<ChildKind>{});
}

TEST(WindowLayoutTest, DamagedValuesNeverOpenAWindowTwiceOrAnInventedOne) {
    EXPECT_EQ(decodeLayout(0x0F03u), std::vector<ChildKind>{MainMonitor}); // kind 15 skipped
    EXPECT_EQ(decodeLayout(0x0113u), (std::vector<ChildKind>{InputMonitor, MainMonitor}));
    EXPECT_EQ(decodeLayout(0x5Fu), std::vector<ChildKind>{MainMonitor}); // count 15, kind 5
}

TEST(WindowLayoutTest, KeepsAtMostOneEntryPerKind) {
    const uint32_t value =
        encodeLayout({PortView, PortView, MainMonitor, StatusView, MainMonitor, InputMonitor});
    EXPECT_EQ(decodeLayout(value),
              (std::vector<ChildKind>{PortView, MainMonitor, StatusView, InputMonitor}));
}

} // namespace
} // namespace corvex
