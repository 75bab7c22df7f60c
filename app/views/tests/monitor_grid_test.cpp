#include "views/monitor_grid.h"

#include <gtest/gtest.h>

namespace corvex {
namespace {

TEST(MonitorGrid, ScrollingStaysInRangeAndEndsMarking) {
    MonitorGrid grid;
    grid.setViewSize(30, 11); // ten lines
    grid.linesAdded(100, 0);
    EXPECT_EQ(grid.topLine(), 90);
    EXPECT_EQ(grid.maxLeftColumn(), MonitorGrid::textColumns - 30);

    grid.setMarking(true);
    grid.scrollPage(-1);
    EXPECT_EQ(grid.topLine(), 80);
    EXPECT_FALSE(grid.marking());
    grid.scrollTo(-5);
    EXPECT_EQ(grid.topLine(), 0);
    grid.scrollBy(1000);
    EXPECT_EQ(grid.topLine(), 90);
    grid.scrollColumnsBy(1000);
    EXPECT_EQ(grid.leftColumn(), 38);
    grid.scrollColumnsBy(-1);
    EXPECT_EQ(grid.leftColumn(), 37);

    grid.setViewSize(100, 200); // everything fits
    EXPECT_EQ(grid.topLine(), 0);
    EXPECT_EQ(grid.leftColumn(), 0);
    grid.setViewSize(0, 0);
    EXPECT_EQ(grid.visibleLines(), 0);
}

TEST(MonitorGrid, NewLinesFollowTheEndExceptWhileMarking) {
    MonitorGrid grid;
    grid.setViewSize(70, 11);
    grid.linesAdded(3000, 0);
    grid.scrollTo(100);
    grid.linesAdded(3000, 5);
    EXPECT_EQ(grid.topLine(), 2990) << "not marking: jump to the newest lines";

    grid.scrollTo(100);
    grid.setMarking(true);
    grid.linesAdded(3000, 5);
    EXPECT_EQ(grid.topLine(), 95) << "the marked lines stay in view as older ones drop out";
    grid.linesAdded(3000, 500);
    EXPECT_EQ(grid.topLine(), 0);
    EXPECT_TRUE(grid.marking());

    grid.setLineCount(3);
    EXPECT_EQ(grid.topLine(), 0);
}

TEST(MonitorGrid, SelectionSpansTheAnchorAndTheCellAndIsClipped) {
    MonitorGrid grid;
    grid.setViewSize(20, 6);
    grid.press(3, 3, false);
    EXPECT_FALSE(grid.selection()) << "presses select nothing unless marking";

    grid.setMarking(true);
    grid.press(5, 4, false);
    EXPECT_EQ(grid.selection(), (CellRect{5, 4, 5, 4}));
    grid.dragTo(2, 1);
    EXPECT_EQ(grid.selection(), (CellRect{2, 1, 5, 4}));
    grid.press(50, 50, true);
    EXPECT_EQ(grid.selection(), (CellRect{5, 4, 19, 5})) << "Shift extends from the anchor";
    grid.press(-3, -3, false);
    EXPECT_EQ(grid.selection(), (CellRect{0, 0, 0, 0}));

    grid.markVisible();
    EXPECT_EQ(grid.selection(), (CellRect{0, 0, 19, 5}));
    grid.setMarking(false);
    EXPECT_FALSE(grid.selection());
}

} // namespace
} // namespace corvex
