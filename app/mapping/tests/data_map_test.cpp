#include "map_test_support.h"
#include "mapping/map_capacity.h"

#include <gtest/gtest.h>

namespace corvex::test {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(DataMap, PacksEntriesInItemOrderAndGivesTheEngineView) {
    DataMap map;
    EXPECT_FALSE(map.hasPool());
    // The record's pointers are packed: read them by value.
    const uint8_t* noPool = map.record().sysexPool;
    EXPECT_EQ(noPool, nullptr);
    map.load(std::vector<MapRow>{sysexRow(MAP_NOTE_ON, {0xF0, 0xF7}), discardRow(MAP_CTRL),
                                 sysexRow(MAP_CTRL, {0xF0, 1, 0xF7})},
             false);
    EXPECT_EQ(map.items()[0].sysexOffset, 4);
    EXPECT_EQ(map.items()[1].sysexOffset, 0);
    EXPECT_EQ(map.items()[2].sysexOffset, 8);
    EXPECT_EQ(map.sysexLength(), 13);
    map.isOn = 1;
    SMapper record = map.record();
    EXPECT_EQ(record.itemCount, 3);
    const MapItem* items = record.items;
    const uint8_t* pool = record.sysexPool;
    EXPECT_EQ(items, map.items().data());
    EXPECT_EQ(record.sysexLength, 13);
    EXPECT_EQ(Bytes(pool, pool + 4), (Bytes{'S', 'Y', 'X', 0}));
    EXPECT_EQ(record.mapIsOn, 1);

    map.clearItems();
    EXPECT_TRUE(map.items().empty());
    EXPECT_EQ(map.sysexLength(), MAP_SYSEX_POOL_HEADER);
}

TEST(DataMap, EntriesThatWouldFillThePoolAreNotStored) {
    std::vector<MapRow> rows(66, sysexRow(MAP_NOTE_ON, Bytes(1000, 0x11)));
    DataMap map;
    EXPECT_GE(map.poolLengthAfter(rows, false), size_t{MAP_SYSEX_POOL_SIZE});
    EXPECT_FALSE(mapCapacityProblem(map, rows, false, "x").empty());
    map.load(rows, false);
    EXPECT_LT(map.sysexLength(), MAP_SYSEX_POOL_SIZE);
    EXPECT_EQ(map.items().back().sysexOffset, 0);
    EXPECT_EQ(map.sysexOf(64).size(), 1000u);
    EXPECT_TRUE(map.sysexOf(65).empty());
}

} // namespace
} // namespace corvex::test
