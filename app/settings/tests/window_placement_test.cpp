#include "colour_table.h"
#include "settings/window_placement.h"

#include <gtest/gtest.h>

#include <climits>

namespace corvex {
namespace {

TEST(WindowPlacement, RecordIsTheFixedLittleEndianLayout) {
    WindowPlacement placement = normalPlacement({20, 100, 551, 381});
    placement.showCommand = kShowMaximized;
    auto bytes = encodePlacement(placement);
    EXPECT_EQ(bytes[0], 44);
    EXPECT_EQ(bytes[8], 3);
    EXPECT_EQ(bytes[12], 0xFF); // minimised x = -1
    EXPECT_EQ(bytes[28], 20);
    EXPECT_EQ(bytes[40], 381 & 0xFF);
    EXPECT_EQ(bytes[41], 381 >> 8);
    EXPECT_EQ(decodePlacement(bytes), placement);
    EXPECT_FALSE(decodePlacement(std::span(bytes).first(43)));

    auto never = encodePlacement(neverPlacedPlacement());
    EXPECT_EQ(never[31], 0x80);
    EXPECT_TRUE(isNeverPlaced(*decodePlacement(never)));
}

TEST(WindowPlacement, GeometryConvertsBothWays) {
    WindowGeometry geometry{30, 40, 500, 300, WindowGeometry::State::Maximized};
    WindowPlacement placement = placementOf(geometry);
    EXPECT_EQ(placement.normal, (PlacementRect{30, 40, 530, 340}));
    EXPECT_EQ(geometryOf(placement), geometry);
    EXPECT_FALSE(geometryOf(neverPlacedPlacement()));

    // A damaged record never gives a negative or overflowing size.
    WindowPlacement inverted = normalPlacement({INT32_MAX, 10, INT32_MIN + 1, 0});
    EXPECT_EQ(geometryOf(inverted)->width, 0);
    EXPECT_EQ(geometryOf(inverted)->height, 0);
    WindowGeometry huge{INT_MAX - 5, 0, 100, 100, WindowGeometry::State::Normal};
    EXPECT_EQ(placementOf(huge).normal.right, INT32_MAX);
}

TEST(ColourTable, NamesAndDefaultSets) {
    EXPECT_EQ(kColourNames[0], "Monitor Background");
    EXPECT_EQ(kColourNames[kSysexViewF0], "SysEx View F0 ");
    EXPECT_EQ(kColourNames[kFirstChannelColour + 15], "Channel 16");
    EXPECT_EQ(kColourNames[54], "Route Port 16");
    EXPECT_EQ(rgbColour(0x12, 0x34, 0x56), 0x563412u);

    SystemColours system{rgbColour(1, 1, 1), rgbColour(2, 2, 2), rgbColour(3, 3, 3),
                         rgbColour(4, 4, 4)};
    ColourScheme high = defaultColours(ColourDepth::AtLeast16Bits, system);
    ColourScheme low = defaultColours(ColourDepth::Fewer, system);
    EXPECT_EQ(high[kLabelBackground], rgbColour(1, 1, 1));
    EXPECT_EQ(high[kStatusBackground], rgbColour(244, 244, 210));
    EXPECT_EQ(low[kStatusBackground], rgbColour(3, 3, 3));
    EXPECT_EQ(high[kNoteOnColour], rgbColour(6, 255, 6));
    EXPECT_EQ(low[kNoteOnColour], rgbColour(0, 255, 0));
    EXPECT_EQ(high[kFirstRoutePortColour + 15], rgbColour(95, 85, 195));
    EXPECT_EQ(high[kFirstChannelColour + 2], rgbColour(0, 128, 0));
    EXPECT_EQ(parseColourText(colourText(rgbColour(7, 8, 9))), rgbColour(7, 8, 9));
    EXPECT_FALSE(parseColourText("1,2"));
    EXPECT_FALSE(parseColourText("1,2,256"));
}

} // namespace
} // namespace corvex
