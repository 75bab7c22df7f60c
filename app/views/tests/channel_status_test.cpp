#include "views/channel_status.h"
#include "views/snapshot_file.h"
#include "views/snapshot_messages.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace corvex {
namespace {

uint32_t msg(unsigned status, unsigned d1, unsigned d2 = 0) {
    return status | d1 << 8 | d2 << 16;
}

TEST(StatusItems, TableHasEveryControllerOnceAndTheFixedTitles) {
    const auto& items = statusItems();
    std::set<int> controllers;
    for (const StatusItem& item : items) {
        if (item.controller >= 0) {
            EXPECT_TRUE(controllers.insert(item.controller).second) << item.title;
        }
    }
    EXPECT_EQ(controllers.size(), 128u);
    const std::vector<std::pair<uint16_t, std::string_view>> titles = {
        {0, "Chan"},     {16, "NRPN Value"}, {25, "Thumby"},  {26, "Ctl 03"},  {47, "Ctl 00"},
        {54, "DataL"},   {80, "Porta"},      {108, "RPNM"},   {109, "Ctl102"}, {127, "Ctl120"},
        {128, "RstCtl"}, {134, "Poly"},      {135, "Chn Aft"}};
    for (const auto& [id, title] : titles) {
        EXPECT_EQ(items[id].title, title) << id;
    }
    for (unsigned cc = 0; cc < 128; ++cc) {
        EXPECT_EQ(items[statusItemOfController(cc)].controller, static_cast<int>(cc));
    }
    EXPECT_EQ(items[statusItemOfController(0)].kind, StatusItemKind::PairedController);
    EXPECT_EQ(items[statusItemOfController(123)].kind, StatusItemKind::ChannelMode);
    EXPECT_EQ(items[kItemBend].kind, StatusItemKind::Extra);
}

TEST(ChannelStatusTracking, EveryControllerLandsInItsItemOnItsChannel) {
    ChannelStatus status;
    for (unsigned cc = 0; cc < 128; ++cc) {
        const unsigned channel = cc % 16;
        EXPECT_TRUE(status.update(msg(0xB0 | channel, cc, 127 - cc % 100)));
        EXPECT_EQ(status.value(channel, statusItemOfController(cc)), int(127 - cc % 100)) << cc;
    }
    EXPECT_FALSE(status.update(msg(0xB0 | 5, 5, status.value(5, statusItemOfController(5)))));
    EXPECT_FALSE(status.update(msg(0x93, 60, 100))); // notes are not tracked
    EXPECT_FALSE(status.update(msg(0xF8, 0)));
}

struct StreamCase {
    const char* name;
    std::vector<uint32_t> stream;
    unsigned channel;
    std::vector<std::pair<uint16_t, int>> expected;
};

TEST(ChannelStatusTracking, StreamsGiveTheirItems) {
    const std::vector<StreamCase> cases = {
        {"bank MSB alone", {msg(0xB1, 0, 1), msg(0xC1, 5)}, 1, {{kItemBank, 1}, {kItemPatch, 5}}},
        {"second program keeps the bank",
         {msg(0xB1, 0, 1), msg(0xC1, 5), msg(0xC1, 9)},
         1,
         {{kItemBank, 1}, {kItemPatch, 9}}},
        {"14-bit bank",
         {msg(0xB0, 0, 2), msg(0xB0, 32, 3), msg(0xC0, 0)},
         0,
         {{kItemBank, 2 * 128 + 3}}},
        {"bank LSB alone", {msg(0xB0, 32, 7), msg(0xC0, 1)}, 0, {{kItemBank, 7}}},
        {"bank waits for the program", {msg(0xB0, 0, 2)}, 0, {{kItemBank, -1}}},
        {"14-bit bend", {msg(0xE4, 0x01, 0x40)}, 4, {{kItemBend, 8193}}},
        {"channel aftertouch", {msg(0xDF, 77)}, 15, {{kItemChannelAftertouch, 77}}},
        {"bend range from RPN 0",
         {msg(0xB2, 101, 0), msg(0xB2, 100, 0), msg(0xB2, 6, 12)},
         2,
         {{kItemBendRange, 12}}},
        {"NRPN and its value",
         {msg(0xB0, 99, 1), msg(0xB0, 98, 2), msg(0xB0, 6, 64), msg(0xB0, 38, 0)},
         0,
         {{kItemNrpn, 130}, {kItemNrpnValue, 8192}, {kItemBendRange, -1}}},
        {"one NRPN half keeps RPN current",
         {msg(0xB0, 101, 0), msg(0xB0, 100, 0), msg(0xB0, 99, 1), msg(0xB0, 6, 3)},
         0,
         {{kItemBendRange, 3}, {kItemNrpn, -1}, {kItemNrpnValue, -1}}},
        {"data entry of another RPN is not the bend range",
         {msg(0xB0, 101, 0), msg(0xB0, 100, 1), msg(0xB0, 6, 3)},
         0,
         {{kItemBendRange, -1}}},
        {"NRPN value MSB alone",
         {msg(0xB0, 99, 0), msg(0xB0, 98, 5), msg(0xB0, 6, 2)},
         0,
         {{kItemNrpnValue, 256}}},
    };
    for (const StreamCase& c : cases) {
        ChannelStatus status;
        for (uint32_t m : c.stream) {
            status.update(m);
        }
        for (const auto& [item, value] : c.expected) {
            EXPECT_EQ(status.value(c.channel, item), value) << c.name << " item " << item;
        }
    }
}

TEST(ChannelStatusTracking, ProgramChangeReportsBankFlagsThenClearsThem) {
    ChannelStatus status;
    status.update(msg(0xB2, 0, 1));
    status.update(msg(0xB2, 32, 2));
    status.update(msg(0xC2, 5));
    ASSERT_TRUE(status.lastPatchSeen());
    EXPECT_EQ(status.lastPatchSeen()->bankFlags, 3u);
    EXPECT_EQ(status.lastPatchSeen()->bank, 130u);
    EXPECT_EQ(status.lastPatchSeen()->channel, 2u);
    status.update(msg(0xC2, 6));
    EXPECT_EQ(status.lastPatchSeen()->bankFlags, 0u);
    status.update(msg(0xB2, 7, 1));
    EXPECT_FALSE(status.lastPatchSeen());
    status.clear();
    EXPECT_EQ(status.value(2, kItemPatch), -1);
}

StatusValues sampleValues() {
    ChannelStatus status;
    for (unsigned i = 0; i < 300; ++i) {
        status.update(msg(0xB0 | (i % 16), (i * 7) % 128, i % 128));
    }
    status.update(msg(0xE3, 5, 70));
    status.update(msg(0xC9, 33));
    return status.values();
}

TEST(SnapshotFile, RoundTripIs8712BytesAndKeepsEveryValue) {
    const StatusValues values = sampleValues();
    const std::vector<uint8_t> bytes = encodeSnapshot(values);
    EXPECT_EQ(bytes.size(), 8712u);
    const auto decoded = decodeSnapshot(bytes);
    ASSERT_TRUE(std::holds_alternative<StatusValues>(decoded));
    EXPECT_EQ(std::get<StatusValues>(decoded), values);

    const auto folder = std::filesystem::path(testing::TempDir()) / "snapshot_round_trip";
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "state.mxs").string();
    EXPECT_EQ(saveSnapshotFile(path, values), "");
    EXPECT_EQ(std::filesystem::file_size(path), 8712u);
    const auto loaded = loadSnapshotFile(path);
    ASSERT_TRUE(std::holds_alternative<StatusValues>(loaded));
    EXPECT_EQ(std::get<StatusValues>(loaded), values);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
}

TEST(SnapshotFile, DamagedFilesAreRefusedWithAMessage) {
    std::vector<uint8_t> good = encodeSnapshot(sampleValues());
    auto newer = good;
    newer[4] = 2;
    auto badMagic = good;
    badMagic[0] = 'X';
    auto shortened = good;
    shortened.resize(8712 - 3);
    auto hugeCount = std::vector<uint8_t>(good.begin(), good.begin() + 12);
    hugeCount[6] = 0xFF;
    hugeCount[7] = 0xFF;
    const std::vector<std::pair<const char*, std::vector<uint8_t>>> cases = {
        {"version 2", newer}, {"magic", badMagic}, {"cut entry", shortened},
        {"count", hugeCount}, {"empty", {}},       {"header only", {'S', 'N', 'A'}}};
    for (const auto& [name, bytes] : cases) {
        const auto result = decodeSnapshot(bytes);
        ASSERT_TRUE(std::holds_alternative<std::string>(result)) << name;
        EXPECT_FALSE(std::get<std::string>(result).empty()) << name;
    }
    // Fewer entries than 2176 and out-of-range entries: the rest stays empty.
    std::vector<uint8_t> partial = {'S', 'N', 'A', 'P', 1, 0, 3, 0,   2, 3,
                                    9,   0,   16,  3,   9, 0, 2, 136, 9, 0};
    const auto result = decodeSnapshot(partial);
    ASSERT_TRUE(std::holds_alternative<StatusValues>(result));
    const StatusValues& values = std::get<StatusValues>(result);
    EXPECT_EQ(values[2][3], 9);
    EXPECT_EQ(values[2][4], -1);
    EXPECT_EQ(values[0][0], -1);
}

StatusValues emptyValues() {
    StatusValues values;
    for (auto& channel : values) {
        channel.fill(-1);
    }
    return values;
}

TEST(SnapshotMessages, OptionsChooseWhatIsSent) {
    StatusValues values = emptyValues();
    values[0][statusItemOfController(7)] = 100;
    values[0][statusItemOfController(0)] = 1;   // bank MSB, covered by "Bank"
    values[0][statusItemOfController(123)] = 0; // all notes off
    values[0][kItemBank] = 129;
    values[0][kItemPatch] = 5;
    values[1][kItemBend] = 8192;
    values[1][kItemNrpn] = 130;
    values[1][kItemNrpnValue] = 8193;
    values[1][kItemBendRange] = 12;
    values[2][kItemChannelAftertouch] = 300;    // out of range: clamped
    values[3][statusItemOfController(10)] = -5; // no value

    struct Case {
        const char* name;
        SnapshotOptions options;
        std::vector<uint32_t> expected;
    };
    const std::vector<Case> cases = {
        {"mode only", {false, true, false}, {msg(0xB0, 123, 0)}},
        {"controllers only", {true, false, false}, {msg(0xB0, 7, 100), msg(0xB0, 0, 1)}},
        {"defaults",
         {true, false, true},
         {msg(0xB0, 0, 1), msg(0xB0, 32, 1), msg(0xC0, 5), msg(0xB0, 7, 100), msg(0xE1, 0, 64),
          msg(0xB1, 99, 1), msg(0xB1, 98, 2), msg(0xB1, 6, 64), msg(0xB1, 38, 1), msg(0xB1, 101, 0),
          msg(0xB1, 100, 0), msg(0xB1, 6, 12), msg(0xD2, 127)}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(snapshotMessages(values, c.options), c.expected) << c.name;
    }
}

TEST(SnapshotMessages, ReplayingTheMessagesRebuildsTheState) {
    ChannelStatus source;
    for (const uint32_t m :
         {msg(0xB4, 0, 3), msg(0xB4, 32, 4), msg(0xC4, 10), msg(0xB4, 7, 90), msg(0xE4, 3, 50),
          msg(0xB4, 99, 2), msg(0xB4, 98, 1), msg(0xB4, 6, 5), msg(0xB4, 38, 6), msg(0xD4, 40)}) {
        source.update(m);
    }
    ChannelStatus replayed;
    for (uint32_t m : snapshotMessages(source.values(), {true, false, true})) {
        replayed.update(m);
    }
    EXPECT_EQ(replayed.values(), source.values());
}

} // namespace
} // namespace corvex
