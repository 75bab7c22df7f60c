#include "ini/profile_document.h"
#include "map_test_support.h"
#include "mapping/map_capacity.h"
#include "mapping/profile_map.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace corvex::test {
namespace {

using cvx::profile::ProfileDocument;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

DataMap sampleMap() {
    DataMap map = mapOf({{makeItem(0, MAP_NOTE_ON, {60, 72, kAny, kAny}, 9, MAP_CTRL,
                                   {7, 7, 0, 127}, MAPITEM_CLONE | 3 << 6),
                          {}},
                         sysexRow(MAP_PROG_CHG, {0xF0, 0x41, 0xF7})},
                        0x0015);
    map.isOn = 1;
    map.keys = 1;
    return map;
}

TEST(ProfileMap, WritesTheKeysOfTheSection) {
    ProfileDocument profile("[Other]\nKeep=1\n");
    writeProfileMap(sampleMap(), profile, kProfileMapSection);
    EXPECT_EQ(profile.text(), "[Other]\nKeep=1\n\n"
                              "[Data Map]\n"
                              "MapVersion=5\n"
                              "MapIsOn=1\n"
                              "MapKeys=1\n"
                              "Map Flags=21\n"
                              "MapCount=2\n"
                              "Map1=0,2,60,72,65535,65535,9,4,7,7,0,127,196\n"
                              "Map2=255,5,65535,65535,65535,65535,255,9,65535,65535,65535,65535,"
                              "0,Syx2\n"
                              "Syx2=F0 41 F7\n");
}

TEST(ProfileMap, ReadsBackWhatItWritesAndDropsStaleKeys) {
    ProfileDocument profile;
    DataMap larger = sampleMap();
    larger.load(std::vector<MapRow>{sysexRow(MAP_CTRL, {0xF0, 1, 0xF7})}, true);
    writeProfileMap(larger, profile, kProfileMapSection);
    writeProfileMap(sampleMap(), profile, kProfileMapSection);
    EXPECT_FALSE(profile.value(kProfileMapSection, "Map3"));
    EXPECT_FALSE(profile.value(kProfileMapSection, "Syx3"));

    DataMap read = mapOf({discardRow(MAP_CTRL)});
    ASSERT_TRUE(readProfileMap(read, profile, kProfileMapSection, "p.ini").ok);
    EXPECT_EQ(read.rows(), sampleMap().rows());
    EXPECT_EQ(read.options, 0x0015);
    EXPECT_EQ(read.isOn, 1);
    EXPECT_EQ(read.keys, 1);
}

TEST(ProfileMap, ReadsTheVersion2LayoutAndDefaults) {
    ProfileDocument profile("[Data Map]\nMapVersion=2\nMapCount=2\nMap Flags=1\n"
                            "Map1=0,1,2,0,127,255,255,0,3,4,255,255,0,64,6\n");
    DataMap map;
    ASSERT_TRUE(readProfileMap(map, profile, kProfileMapSection, "p.ini").ok);
    ASSERT_EQ(map.items().size(), 2u);
    EXPECT_EQ(map.items()[0], makeItem(1, 2, {0, 127, kAny, kAny}, 3, 4, {kAny, kAny, 0, 64}, 6));
    EXPECT_EQ(map.items()[1], makeItem(0xFF, 0xFF, kAnyBounds, 0xFF, 0xFF, kAnyBounds));
    EXPECT_EQ(map.options, 1);
}

TEST(ProfileMap, WithoutAKnownVersionNothingIsRead) {
    for (const char* text :
         {"[Data Map]\nMapCount=1\n", "[Data Map]\nMapVersion=6\nMapCount=1\n"}) {
        DataMap map = sampleMap();
        MapFileResult result = readProfileMap(map, ProfileDocument(text), kProfileMapSection, "p");
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(map.rows(), sampleMap().rows());
        EXPECT_EQ(map.isOn, 1);
    }
}

TEST(ProfileMap, ACountOfZeroEmptiesTheMap) {
    DataMap map = sampleMap();
    ASSERT_TRUE(readProfileMap(map, ProfileDocument("[Data Map]\nMapVersion=5\nMapCount=0\n"),
                               kProfileMapSection, "p")
                    .ok);
    EXPECT_TRUE(map.items().empty());
    EXPECT_EQ(map.isOn, 0);
}

TEST(ProfileMap, ItemsThatCannotBeReadAreReportedAndLeftOut) {
    ProfileDocument profile("[Data Map]\nMapVersion=5\nMapCount=4\n"
                            "Map1=0,2,60,72,65535,65535,9,4,7,7,0,127\n"
                            "Map2=300,2,60,72,65535,65535,9,4,7,7,0,127,0\n"
                            "Map3=255,5,65535,65535,65535,65535,255,9,65535,65535,65535,65535,0,S\n"
                            "S=F0 ZZ\n"
                            "Map4=1,2,3,4,5,6,7,8,9,10,11,12,13\n");
    DataMap map;
    MapFileResult result = readProfileMap(map, profile, kProfileMapSection, "p.ini");
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(map.items().size(), 1u);
    EXPECT_THAT(result.problems,
                ElementsAre(HasSubstr("[Data Map] Map1: not understood"), HasSubstr("Map2"),
                            HasSubstr("S: not understood: "
                                      "'F0 ZZ'")));
}

TEST(ProfileMap, RefusesMapsLargerThanTheEngineHolds) {
    ProfileDocument profile(
        "[Data Map]\nMapVersion=5\nMapIsOn=1\nMapCount=" + std::to_string(kMaxMapItems + 1) + "\n");
    DataMap map = sampleMap();
    map.isOn = 0;
    MapFileResult result = readProfileMap(map, profile, kProfileMapSection, "p.ini");
    EXPECT_FALSE(result.ok);
    EXPECT_THAT(result.message, HasSubstr("at most " + std::to_string(kMaxMapItems)));
    EXPECT_EQ(map.rows(), sampleMap().rows());
    EXPECT_EQ(map.isOn, 0);
}

TEST(ProfileMap, FileFormKeepsTheRestOfTheProfile) {
    std::string path = homePath("profile.ini");
    writeFile(path, "; mine\r\n[Display]\r\nFont=Mono\r\n");
    ASSERT_TRUE(writeProfileMapFile(sampleMap(), path, kProfileMapSection).ok);
    EXPECT_THAT(readFile(path),
                HasSubstr("; mine\r\n[Display]\r\nFont=Mono\r\n\r\n[Data Map]\r\n"));
    DataMap read;
    ASSERT_TRUE(readProfileMapFile(read, path, kProfileMapSection).ok);
    EXPECT_EQ(read.rows(), sampleMap().rows());
    EXPECT_FALSE(writeProfileMapFile(sampleMap(), homePath("none/p.ini"), kProfileMapSection).ok);
}

} // namespace
} // namespace corvex::test
