#include "map_test_support.h"
#include "mapping/binary_map_file.h"
#include "mapping/map_settings.h"
#include "settings/folders.h"
#include "settings/settings_store.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace corvex::test {
namespace {

using ::testing::HasSubstr;

constexpr char kKey[] = "Profile 2\\Data Map";

DataMap storedMap() {
    DataMap map = mapOf({discardRow(MAP_CTRL), sysexRow(MAP_NOTE_ON, {0xF0, 0x10, 0xF7})},
                        MAP_SEND_FULL_NRPN | 0x0200);
    map.isOn = 1;
    map.keys = 1;
    return map;
}

TEST(MapSettings, ParametersAndThePrivateFileRoundTripThroughTheStore) {
    SettingsStore store;
    ASSERT_TRUE(writeMapSettings(storedMap(), store, kKey, 2).ok);
    std::string path = privateMapPath(2);
    EXPECT_EQ(path, engineSettingsFolder() + "_CVXSYSMAP2.vxm");
    EXPECT_EQ(store.readString(kKey, "Sys Map File"), path);
    EXPECT_EQ(readFile(path), binaryMapImage(storedMap()));
    std::vector<uint8_t> parms = {5, 0, 0, 0, 24, 0, 0, 0, 1, 0,    0,
                                  0, 1, 0, 0, 0,  2, 0, 0, 0, 0x04, 0x02};
    EXPECT_EQ(store.readBinary(kKey, "Map Parms v2", 22), parms);

    DataMap read;
    ASSERT_TRUE(readMapSettings(read, store, kKey).ok);
    EXPECT_EQ(read.rows(), storedMap().rows());
    EXPECT_EQ(read.options, storedMap().options);
    EXPECT_EQ(read.isOn, 1);
    EXPECT_EQ(read.keys, 1);
}

TEST(MapSettings, SwitchesComeFromTheParametersWhateverTheFileHolds) {
    DataMapSettings stored;
    ASSERT_TRUE(writeMapSettings(storedMap(), stored, 1).ok);
    DataMap other = mapOf({discardRow(MAP_NOTE_OFF)}, 0x0001);
    ASSERT_TRUE(writeBinaryMap(other, *stored.sysMapFile).ok);
    DataMap read;
    ASSERT_TRUE(readMapSettings(read, stored).ok);
    EXPECT_EQ(read.rows(), other.rows());
    EXPECT_EQ(read.options, storedMap().options);
    EXPECT_EQ(read.isOn, 1);
}

TEST(MapSettings, NothingStoredOrAnUnknownLayoutLoadsNothing) {
    DataMap map = storedMap();
    EXPECT_FALSE(readMapSettings(map, DataMapSettings{}).ok);
    DataMapSettings version4;
    writeMapSettings(DataMap{}, version4, 3);
    (*version4.mapParms)[0] = 4;
    EXPECT_FALSE(readMapSettings(map, version4).ok);
    EXPECT_EQ(map.rows(), storedMap().rows());
    EXPECT_EQ(map.isOn, 1);
}

TEST(MapSettings, AnEmptyStoredMapEmptiesTheMap) {
    DataMapSettings stored;
    DataMap empty;
    empty.isOn = 0;
    ASSERT_TRUE(writeMapSettings(empty, stored, 4).ok);
    DataMap map = storedMap();
    ASSERT_TRUE(readMapSettings(map, stored).ok);
    EXPECT_TRUE(map.items().empty());
    EXPECT_EQ(map.isOn, 0);
}

TEST(MapSettings, AMissingPrivateFileIsReportedAndKeepsTheItems) {
    DataMapSettings stored;
    ASSERT_TRUE(writeMapSettings(storedMap(), stored, 5).ok);
    stored.sysMapFile = homePath("gone.vxm");
    DataMap map = mapOf({discardRow(MAP_NOTE_OFF)});
    MapFileResult result = readMapSettings(map, stored);
    EXPECT_FALSE(result.ok);
    EXPECT_THAT(result.message, HasSubstr("gone.vxm"));
    EXPECT_EQ(map.rows(), mapOf({discardRow(MAP_NOTE_OFF)}).rows());
    EXPECT_EQ(map.isOn, 1);
}

} // namespace
} // namespace corvex::test
