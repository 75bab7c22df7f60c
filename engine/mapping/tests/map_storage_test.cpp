#include "map_harness.h"

#include <gtest/gtest.h>

namespace cvx::mapping {
namespace {

using testing::MapHarness;
using testing::noteOn;
using testing::openItem;
using testing::PoolBuilder;

using Messages = std::vector<uint32_t>;

SMapper mapOf(std::vector<MapItem>& items, uint16_t options = 0) {
    SMapper map{};
    map.mapOptions = options;
    map.mapIsOn = 1;
    map.itemCount = static_cast<int16_t>(items.size());
    map.items = items.data();
    return map;
}

TEST(GlobalMapStorage, CopiesFieldsItemsAndPool) {
    std::vector<MapItem> items{openItem(MAP_NOTE_ON, MAP_DISCARD), openItem(MAP_NRPN, MAP_CTRL)};
    items[1].sourceChannel = 3;
    PoolBuilder pool;
    pool.add({0xF0, 0xF7});
    SMapper map = mapOf(items, MAP_SEND_FULL_NRPN);
    map.mapKeys = 1;
    map.sysexPool = pool.bytes().data();
    map.sysexLength = static_cast<uint16_t>(pool.bytes().size());
    auto arena = std::make_unique<core::MapArena>();
    MapCopy copy{};
    NrpnState nrpn{};
    nrpn.nrpn[0].heldCount = 2; // held controllers survive a new map
    storeGlobalMap(*arena, copy, nrpn, map);
    items[0].targetMessage = MAP_NOTE_OFF; // the engine's copy is independent

    EXPECT_TRUE(isActive(copy));
    EXPECT_TRUE(mapsKeyboard(copy));
    EXPECT_EQ(copy.options, MAP_SEND_FULL_NRPN);
    EXPECT_EQ(nrpn.options, MAP_SEND_FULL_NRPN);
    EXPECT_EQ(nrpn.nrpn[0].heldCount, 2);
    MapView view = viewOf(copy);
    ASSERT_NE(view.table, nullptr);
    EXPECT_TRUE(arena->owns(view.table));
    EXPECT_EQ(view.table->count, 2u);
    EXPECT_EQ(itemsOf(view.table)[0].targetMessage, MAP_DISCARD);
    EXPECT_EQ(view.table->nrpnChannels, 1u << 3);
    EXPECT_EQ(view.table->rpnChannels, 0u);
    ASSERT_NE(view.sysex, nullptr);
    EXPECT_EQ(view.sysex->length, pool.bytes().size());
    EXPECT_EQ(reinterpret_cast<uintptr_t>(view.table) % 8, 0u);
}

TEST(GlobalMapStorage, SysExBlockStaysWhenTheNewMapBringsNone) {
    MapHarness h;
    PoolBuilder pool;
    MapItem item = openItem(MAP_NOTE_ON, MAP_SYSEX);
    item.sysexOffset = pool.add({0xF0, 0x01, 0xF7});
    h.load({item}, 0, pool.bytes());
    h.load({item}); // no pool: the previous block is kept
    EXPECT_TRUE(h.send(noteOn(0, 1, 1)).empty());
    EXPECT_EQ(h.sysex().size(), 1u);
}

TEST(GlobalMapStorage, MalformedItemCountsStoreNoItems) {
    std::vector<MapItem> items{openItem(MAP_ANY, MAP_DISCARD)};
    core::MapArena arena;
    MapCopy copy{};
    NrpnState nrpn{};

    SMapper negative = mapOf(items);
    negative.itemCount = -5;
    storeGlobalMap(arena, copy, nrpn, negative);
    EXPECT_EQ(viewOf(copy).table, nullptr);
    EXPECT_EQ(copy.itemCount, -5);

    SMapper missing = mapOf(items);
    missing.items = nullptr;
    storeGlobalMap(arena, copy, nrpn, missing);
    EXPECT_EQ(viewOf(copy).table, nullptr);

    // More items than the arena holds: the counts stay, the map matches nothing.
    std::vector<MapItem> many(3000, openItem(MAP_ANY, MAP_DISCARD));
    SMapper huge = mapOf(many);
    storeGlobalMap(arena, copy, nrpn, huge);
    EXPECT_EQ(viewOf(copy).table, nullptr);
    EXPECT_EQ(copy.itemCount, 3000);
    EXPECT_TRUE(isActive(copy));
}

TEST(GlobalMapStorage, ReplacingReleasesTheOldCopies) {
    std::vector<MapItem> items(400, openItem(MAP_NOTE_ON, MAP_NOTE_OFF));
    std::vector<uint8_t> pool(20000, 0);
    SMapper map = mapOf(items);
    map.sysexPool = pool.data();
    map.sysexLength = static_cast<uint16_t>(pool.size());
    core::MapArena arena;
    MapCopy copy{};
    NrpnState nrpn{};
    for (int i = 0; i < 50; ++i) { // without releasing, the third copy would not fit
        storeGlobalMap(arena, copy, nrpn, map);
        ASSERT_NE(viewOf(copy).table, nullptr) << i;
        ASSERT_NE(viewOf(copy).sysex, nullptr) << i;
    }
}

TEST(GlobalMapStorage, NewMapFitsWhereTheOldOneDid) {
    std::vector<MapItem> fewItems(850, openItem(MAP_NOTE_ON, MAP_NOTE_OFF));
    std::vector<MapItem> manyItems(1700, openItem(MAP_NOTE_ON, MAP_NOTE_OFF));
    std::vector<uint8_t> bigPool(40000, 0);
    std::vector<uint8_t> smallPool(20000, 0);
    SMapper first = mapOf(fewItems);
    first.sysexPool = bigPool.data();
    first.sysexLength = static_cast<uint16_t>(bigPool.size());
    SMapper second = mapOf(manyItems);
    second.sysexPool = smallPool.data();
    second.sysexLength = static_cast<uint16_t>(smallPool.size());
    core::MapArena arena;
    MapCopy copy{};
    NrpnState nrpn{};
    storeGlobalMap(arena, copy, nrpn, first);
    ASSERT_NE(viewOf(copy).sysex, nullptr);
    storeGlobalMap(arena, copy, nrpn, second);
    ASSERT_NE(viewOf(copy).table, nullptr);
    EXPECT_EQ(viewOf(copy).table->count, 1700u);
    ASSERT_NE(viewOf(copy).sysex, nullptr);
    EXPECT_EQ(viewOf(copy).sysex->length, 20000u);
}

TEST(RouteMapStorage, StoreReplaceAndClear) {
    std::vector<MapItem> items{openItem(MAP_NOTE_ON, MAP_DISCARD)};
    core::MapArena arena;
    RouteMap* slot = nullptr;
    ASSERT_TRUE(storeRouteMap(arena, slot, mapOf(items, MAP_WAIT_FOR_FULL_NRPN)));
    RouteMap* route = routeMapIn(slot);
    ASSERT_NE(route, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(route) % alignof(RouteMap), 0u);
    route->nrpn.nrpn[2].heldCount = 3;

    ASSERT_TRUE(storeRouteMap(arena, slot, mapOf(items, MAP_SEND_FULL_NRPN)));
    EXPECT_EQ(routeMapIn(slot), route) << "the route record is allocated once";
    EXPECT_EQ(route->nrpn.nrpn[2].heldCount, 0) << "a new route map resets its state";
    EXPECT_EQ(route->nrpn.options, MAP_SEND_FULL_NRPN);
    EXPECT_NE(viewOf(route->map).table, nullptr);

    clearRouteMap(arena, slot);
    EXPECT_EQ(routeMapIn(slot), nullptr);
    clearRouteMap(arena, slot); // clearing nothing is harmless
    EXPECT_NE(arena.allocate(core::MapArena::kSize - core::MapArena::kHeaderSize, false), nullptr);
}

TEST(RouteMapStorage, ExhaustedArenaFailsAndLeavesNoRoute) {
    std::vector<MapItem> many(2700, openItem(MAP_NOTE_ON, MAP_DISCARD)); // ~64 KB
    std::vector<MapItem> few{openItem(MAP_NOTE_ON, MAP_DISCARD)};
    core::MapArena arena;
    RouteMap* slot = nullptr;
    EXPECT_FALSE(storeRouteMap(arena, slot, mapOf(many)));
    EXPECT_EQ(slot, nullptr);
    ASSERT_TRUE(storeRouteMap(arena, slot, mapOf(few)));
    EXPECT_FALSE(storeRouteMap(arena, slot, mapOf(many)));
    EXPECT_EQ(slot, nullptr);
    EXPECT_NE(arena.allocate(core::MapArena::kSize - core::MapArena::kHeaderSize, false), nullptr);
}

} // namespace
} // namespace cvx::mapping
