#include "map_test_support.h"
#include "mapping/ascii_map_file.h"
#include "mapping/binary_map_file.h"
#include "mapping/map_file_loader.h"
#include "mapping/map_listing.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace corvex::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

TEST(MapListing, ListsItemsOptionsAndSwitches) {
    EXPECT_TRUE(mapListing(DataMap{}).empty());
    DataMap map = mapOf({{makeItem(0, MAP_NOTE_ON, {60, 72, kAny, kAny}, 9, MAP_CTRL,
                                   {7, 7, 0, 127}, MAPITEM_CLONE | MAPITEM_PULL_V2),
                          {}},
                         sysexRow(MAP_PROG_CHG, {0xF0, 0x41, 0xF7})},
                        MAP_WAIT_FOR_FULL_NRPN | MAP_SEND_FULL_NRPN);
    map.keys = 1;
    EXPECT_THAT(
        mapListing(map),
        ElementsAre("DATA MAP",
                    "Ch Message V1Min V1Max V2Min V2Max C|Ch Message V1Min V1Max V2Min V2Max Ac",
                    " 1 NoteOn     60    72     *     * Y|10 Ctrl        7     7     0   127  <",
                    " * ProgChg     *     *     *     *  | * SysEx   F0 41 F7",
                    "Wait for complete NRPN: On, NRPN Data Incr: Off, Send Full NRPN: On",
                    "Map is: Off, PC Keyboard Mapping: On"));
}

class MapFileLoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        DataMap map = mapOf({discardRow(MAP_CTRL)});
        ASSERT_TRUE(writeBinaryMap(map, homePath("b.vxm")).ok);
        ASSERT_TRUE(writeBinaryMap(map, homePath("b.map")).ok);
        ASSERT_TRUE(writeAsciiMap(map, homePath("a.txm")).ok);
        ASSERT_TRUE(writeAsciiMap(map, homePath("a.map")).ok);
        writeFile(homePath("notes.map"), "shopping list\n");
        writeFile(homePath("v9.map"), std::string("CvxMap\x09\0\0\0\0\0\0\0\0\0", 16));
    }

    MapFileResult load(const std::string& name, MapFileFormat format, bool quiet = false) {
        return loadMapFile(map_, homePath(name), format, false, quiet);
    }

    DataMap map_;
};

TEST_F(MapFileLoaderTest, TheFormatOrTheExtensionChoosesTheReader) {
    EXPECT_TRUE(load("b.vxm", MapFileFormat::ByExtension).ok);
    EXPECT_TRUE(load("a.txm", MapFileFormat::ByExtension).ok);
    EXPECT_TRUE(load("b.map", MapFileFormat::Binary).ok);
    EXPECT_TRUE(load("a.map", MapFileFormat::Ascii).ok);
    EXPECT_EQ(load("a.txm", MapFileFormat::Binary).message, "Invalid Map File.");
    EXPECT_EQ(map_.items().size(), 1u);
}

TEST_F(MapFileLoaderTest, OtherNamesAreTriedAsBothFormats) {
    EXPECT_TRUE(load("b.map", MapFileFormat::ByExtension).ok);
    EXPECT_TRUE(load("a.map", MapFileFormat::ByExtension).ok);
    std::string notes = homePath("notes.map");
    EXPECT_EQ(load("notes.map", MapFileFormat::ByExtension).message,
              "Unknown Map file type: '" + notes + "'");
    EXPECT_EQ(load("notes.map", MapFileFormat::ByExtension, true).message, "");
    EXPECT_EQ(load("v9.map", MapFileFormat::ByExtension).message,
              "Map File version not understood.\nUnknown Map file type: '" + homePath("v9.map") +
                  "'");
}

} // namespace
} // namespace corvex::test
