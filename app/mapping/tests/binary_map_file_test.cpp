#include "map_test_support.h"
#include "mapping/binary_map_file.h"
#include "mapping/map_capacity.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <sys/stat.h>

namespace corvex::test {
namespace {

using Bytes = std::vector<uint8_t>;
using ::testing::HasSubstr;

// A map file's bytes, built field by field.
struct FileBuilder {
    std::string bytes;

    FileBuilder& text(const std::string& s) {
        bytes += s;
        return *this;
    }
    FileBuilder& u8(uint8_t v) {
        bytes += static_cast<char>(v);
        return *this;
    }
    FileBuilder& u16(uint16_t v) { return u8(v & 0xFF).u8(v >> 8); }
    FileBuilder& u32(uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    FileBuilder& item(const MapItem& item) {
        bytes.append(reinterpret_cast<const char*>(&item), sizeof item);
        return *this;
    }
    FileBuilder& raw(const Bytes& b) {
        bytes.append(b.begin(), b.end());
        return *this;
    }
};

FileBuilder header(uint16_t version, int16_t count, uint16_t options, uint32_t sysexOffset) {
    FileBuilder file;
    file.text("CvxMap")
        .u16(version)
        .u16(static_cast<uint16_t>(count))
        .u16(options)
        .u32(sysexOffset);
    return file;
}

MapItem sysexItem(uint16_t offset) {
    MapItem item = makeItem(0xFF, MAP_NOTE_ON, kAnyBounds, 0xFF, MAP_SYSEX, kAnyBounds);
    item.sysexOffset = offset;
    return item;
}

MapFileResult read(DataMap& map, const std::string& bytes, bool append = false,
                   bool quiet = false) {
    return readBinaryMapImage(map, {reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()},
                              "m.vxm", append, quiet);
}

// A map the reader must leave alone when it refuses a file.
DataMap userMap() {
    DataMap map = mapOf({discardRow(MAP_CTRL), sysexRow(MAP_NOTE_ON, {0xF0, 1, 0xF7})}, 0x0005);
    map.isOn = 1;
    return map;
}

void expectUnchanged(const DataMap& map) {
    DataMap original = userMap();
    EXPECT_EQ(map.rows(), original.rows());
    EXPECT_EQ(map.options, original.options);
    EXPECT_EQ(binaryMapImage(map), binaryMapImage(original));
}

TEST(BinaryMapWriter, WritesHeaderItemsAndThePoolImage) {
    DataMap map = mapOf({discardRow(MAP_CTRL), sysexRow(MAP_NOTE_ON, {0xF0, 0x7E, 0xF7})}, 0x13);
    std::string expected = header(5, 2, 0x13, 16 + 48)
                               .item(map.items()[0])
                               .item(map.items()[1])
                               .text(std::string("SYX\0", 4))
                               .u16(3)
                               .raw({0xF0, 0x7E, 0xF7})
                               .bytes;
    EXPECT_EQ(binaryMapImage(map), expected);
    EXPECT_EQ(map.items()[1].sysexOffset, 4);
}

TEST(BinaryMapWriter, PoolImageOnlyWhenTheMapHasAPool) {
    DataMap loaded = mapOf({discardRow(MAP_CTRL)});
    EXPECT_EQ(binaryMapImage(loaded),
              header(5, 1, 0, 40).item(loaded.items()[0]).text(std::string("SYX\0", 4)).bytes);
    DataMap fresh;
    EXPECT_EQ(binaryMapImage(fresh), header(5, 0, 0, 0).bytes);
}

TEST(BinaryMapWriter, ReplacesTheFileAndKeepsTheOldOneWhenItCannot) {
    std::string folder = homePath("readonly");
    std::filesystem::create_directories(folder);
    std::string path = folder + "/m.vxm";
    DataMap map = userMap();
    ASSERT_TRUE(writeBinaryMap(map, path).ok);
    EXPECT_EQ(readFile(path), binaryMapImage(map));

    MapFileResult noFolder = writeBinaryMap(map, folder + "/missing/m.vxm");
    EXPECT_FALSE(noFolder.ok);
    EXPECT_EQ(noFolder.message, "File Creation Failed: '" + folder + "/missing/m.vxm'");

    ::chmod(folder.c_str(), 0500);
    if (::access(folder.c_str(), W_OK) == 0) {
        GTEST_SKIP() << "running with rights that ignore folder permissions";
    }
    MapFileResult failed = writeBinaryMap(DataMap{}, path);
    ::chmod(folder.c_str(), 0700);
    EXPECT_FALSE(failed.ok);
    EXPECT_THAT(failed.message, HasSubstr(path));
    EXPECT_EQ(readFile(path), binaryMapImage(map));
}

TEST(BinaryMapReader, ReadsVersion5And4WithTheirPools) {
    for (uint16_t version : {4, 5}) {
        std::string file = header(version, 2, 0x0011, 64)
                               .item(sysexItem(4))
                               .item(sysexItem(0))
                               .text(std::string("SYX\0", 4))
                               .u16(2)
                               .raw({0xF0, 0xF7})
                               .bytes;
        DataMap map;
        ASSERT_TRUE(read(map, file).ok) << version;
        EXPECT_EQ(map.options, 0x0011);
        ASSERT_EQ(map.items().size(), 2u);
        EXPECT_EQ(map.rows()[0].sysex, (Bytes{0xF0, 0xF7}));
        EXPECT_TRUE(map.rows()[1].sysex.empty());
        EXPECT_EQ(map.items()[1].sysexOffset, 0);
        EXPECT_EQ(binaryMapImage(map),
                  header(5, 2, 0x0011, 64).bytes.substr(0, 16) + file.substr(16));
    }
}

TEST(BinaryMapReader, EntriesAreRepackedInItemOrderAndEmptyOnesDropped) {
    // Pool entries in reverse order, one of length 0, one shared by two items.
    std::string file = header(5, 4, 0, 16 + 96)
                           .item(sysexItem(10))
                           .item(sysexItem(4))
                           .item(sysexItem(8))
                           .item(sysexItem(10))
                           .text(std::string("SYX\0", 4))
                           .u16(2)
                           .raw({0xF0, 0xF7})
                           .u16(0)
                           .u16(3)
                           .raw({0xF0, 0x01, 0xF7})
                           .bytes;
    DataMap map;
    ASSERT_TRUE(read(map, file).ok);
    std::vector<uint16_t> offsets;
    for (const MapItem& item : map.items()) {
        offsets.push_back(item.sysexOffset);
    }
    EXPECT_EQ(offsets, (std::vector<uint16_t>{4, 9, 0, 13}));
    EXPECT_EQ(map.rows()[3].sysex, (Bytes{0xF0, 0x01, 0xF7}));
    EXPECT_EQ(map.sysexLength(), 18);
}

TEST(BinaryMapReader, Version3OneByteCountsAreRebuilt) {
    // Two entries with one-byte counts: 3 F0 01 F7, 2 F0 F7.
    std::string file = header(3, 2, 0, 64)
                           .item(sysexItem(4))
                           .item(sysexItem(8))
                           .text(std::string("SYX\0", 4))
                           .raw({3, 0xF0, 0x01, 0xF7, 2, 0xF0, 0xF7})
                           .bytes;
    DataMap map;
    ASSERT_TRUE(read(map, file).ok);
    EXPECT_EQ(map.rows()[0].sysex, (Bytes{0xF0, 0x01, 0xF7}));
    EXPECT_EQ(map.rows()[1].sysex, (Bytes{0xF0, 0xF7}));

    // The same entries with u16 counts stay as they are.
    std::string wide = header(3, 2, 0, 64)
                           .item(sysexItem(4))
                           .item(sysexItem(9))
                           .text(std::string("SYX\0", 4))
                           .u16(3)
                           .raw({0xF0, 0x01, 0xF7})
                           .u16(2)
                           .raw({0xF0, 0xF7})
                           .bytes;
    DataMap same;
    ASSERT_TRUE(read(same, wide).ok);
    EXPECT_EQ(same.rows(), map.rows());
}

TEST(BinaryMapReader, Versions1And2Have16ByteRecords) {
    Bytes record = {9, 2, 4, 60, 72, 255, 255, 9, 3, 1, 0, 127, 255, 255, 0x45, 0x00};
    std::string version2 = header(2, 1, 0, 0).bytes.substr(0, 10);
    version2 += std::string(record.begin(), record.end());
    DataMap map;
    ASSERT_TRUE(read(map, version2).ok);
    MapItem expected = makeItem(2, 4, {60, 72, kAny, kAny}, 3, 1, {0, 127, kAny, kAny}, 0x45);
    EXPECT_EQ(std::memcmp(&map.items()[0], &expected, sizeof expected), 0);
    EXPECT_EQ(map.options, 0x0209); // taken from offset 10, the first record's first bytes

    std::string version1 = version2;
    version1[6] = 1;
    DataMap old;
    ASSERT_TRUE(read(old, version1).ok);
    EXPECT_EQ(old.items()[0].itemFlags, 0);
    EXPECT_EQ(old.options, 0x0209);
}

TEST(BinaryMapReader, NotAMapOrUnknownVersion) {
    DataMap map = userMap();
    MapFileResult notMap = read(map, "CVXMAP garbage");
    EXPECT_FALSE(notMap.ok);
    EXPECT_EQ(notMap.message, "Invalid Map File.");
    EXPECT_EQ(read(map, "CVXMAP garbage", false, true).message, "");

    MapFileResult version9 = read(map, header(9, 0, 0, 0).bytes, false, true);
    EXPECT_FALSE(version9.ok);
    EXPECT_EQ(version9.message, "Map File version not understood.");
    EXPECT_FALSE(read(map, header(0, 0, 0, 0).bytes).ok);
    expectUnchanged(map);
}

TEST(BinaryMapReader, RefusesDamagedFilesAndKeepsTheMap) {
    MapItem plain = makeItem(0xFF, MAP_NOTE_ON, kAnyBounds, 0xFF, MAP_ANY, kAnyBounds);
    struct Case {
        const char* what;
        std::string file;
        const char* says;
    };
    std::string pool = std::string("SYX\0", 4);
    std::vector<Case> cases = {
        {"short header", "CvxMap\5", "shorter than"},
        {"short v5 header", header(5, 0, 0, 0).bytes.substr(0, 12), "shorter than"},
        {"negative count", header(5, -1, 0, 0).bytes, "negative"},
        {"count past the end", header(5, 3, 0, 0).item(plain).bytes, "room for 1"},
        {"v2 count past the end", header(2, 2, 0, 0).bytes, "room for 0"},
        {"offset inside header", header(5, 0, 0, 8).bytes, "inside the header"},
        {"offset among items", header(5, 1, 0, 20).item(plain).bytes, "among the items"},
        {"offset past the end", header(5, 0, 0, 100).bytes, "past the end of the file"},
        {"entry inside pool header", header(5, 1, 0, 40).item(sysexItem(2)).text(pool).bytes,
         "header"},
        {"entry past the pool", header(5, 1, 0, 40).item(sysexItem(50)).text(pool).bytes,
         "past the end"},
        {"count past the pool",
         header(5, 1, 0, 40).item(sysexItem(4)).text(pool).u16(9).raw({0xF0}).bytes, "runs past"},
        {"entry too long",
         header(5, 1, 0, 40).item(sysexItem(4)).text(pool).u16(1023).raw(Bytes(1023)).bytes,
         "longer than 1022"},
        {"v3 one-byte count past the pool",
         header(3, 1, 0, 40).item(sysexItem(4)).text(pool).raw({9, 0xF0}).bytes, "runs past"},
        {"v3 image too long",
         header(3, 1, 0, 40).item(sysexItem(4)).text(pool).raw(Bytes(65535)).bytes,
         "at most 65535"},
    };
    for (const Case& c : cases) {
        DataMap map = userMap();
        MapFileResult result = read(map, c.file, false, true);
        EXPECT_FALSE(result.ok) << c.what;
        EXPECT_THAT(result.message, HasSubstr("Map file 'm.vxm' is damaged")) << c.what;
        EXPECT_THAT(result.message, HasSubstr(c.says)) << c.what;
        expectUnchanged(map);
    }
}

TEST(BinaryMapReader, Version3OneByteCountsThatOverflowThePool) {
    // 300 items naming the same 255-byte entry give more than the pool holds once rebuilt.
    FileBuilder file = header(3, 300, 0, 16 + 300 * 24);
    for (int i = 0; i < 300; ++i) {
        file.item(sysexItem(4));
    }
    Bytes entry(256, 0x11);
    entry[0] = 255;
    entry[1] = 0xF0;
    file.text(std::string("SYX\0", 4)).raw(entry);
    DataMap map = userMap();
    MapFileResult result = read(map, file.bytes);
    EXPECT_FALSE(result.ok);
    EXPECT_THAT(result.message, HasSubstr("overflow the pool"));
    expectUnchanged(map);
}

TEST(BinaryMapReader, AppendsAfterTheMapsItems) {
    DataMap map = userMap();
    DataMap other = mapOf({sysexRow(MAP_CTRL, {0xF0, 2, 0xF7})}, 0x0002);
    ASSERT_TRUE(read(map, binaryMapImage(other), true).ok);
    std::vector<MapRow> expected = userMap().rows();
    expected.push_back(other.rows()[0]);
    expected.back().item.sysexOffset = 9; // after the user's own entry
    EXPECT_EQ(map.rows(), expected);
    EXPECT_EQ(map.options, 0x0002);
}

TEST(BinaryMapReader, RefusesMapsTheEngineCannotHold) {
    std::vector<MapRow> rows(kMaxMapItems, discardRow(MAP_NOTE_ON));
    DataMap largest = mapOf(rows);
    DataMap map = userMap();
    // The user's map has items of its own, so appending the largest map is too much.
    MapFileResult appended = read(map, binaryMapImage(largest), true);
    EXPECT_FALSE(appended.ok);
    EXPECT_THAT(appended.message, HasSubstr("at most"));
    expectUnchanged(map);
    EXPECT_TRUE(read(map, binaryMapImage(largest)).ok);
    EXPECT_EQ(map.items().size(), kMaxMapItems);

    rows.push_back(discardRow(MAP_NOTE_OFF));
    DataMap tooLarge;
    tooLarge.load(rows, false);
    MapFileResult refused = read(map, binaryMapImage(tooLarge));
    EXPECT_FALSE(refused.ok);
    EXPECT_THAT(refused.message, HasSubstr(std::to_string(kMaxMapItems) + " items without"));
}

TEST(BinaryMapReader, FilesThatCannotBeReadOrAreEmpty) {
    DataMap map = userMap();
    EXPECT_FALSE(readBinaryMap(map, homePath("missing.vxm"), false, true).ok);
    EXPECT_EQ(readBinaryMap(map, homePath("missing.vxm"), false, true).message, "");
    EXPECT_THAT(readBinaryMap(map, homePath("missing.vxm"), false, false).message,
                HasSubstr("missing.vxm"));
    writeFile(homePath("empty.vxm"), "");
    EXPECT_FALSE(readBinaryMap(map, homePath("empty.vxm"), false, false).ok);
    EXPECT_FALSE(readBinaryMap(map, cvx::testing::isolatedHome(), false, false).ok);
    expectUnchanged(map);
}

} // namespace
} // namespace corvex::test
