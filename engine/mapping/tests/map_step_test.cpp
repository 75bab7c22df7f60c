#include "map_harness.h"

#include <gtest/gtest.h>

namespace cvx::mapping {
namespace {

using testing::cc;
using testing::MapHarness;
using testing::msg;
using testing::noteOn;
using testing::openItem;
using testing::Output;
using testing::PoolBuilder;

using Outputs = std::vector<Output>;
using Messages = std::vector<uint32_t>;

TEST(MapStepPlain, UnmatchedAndNeverMappedMessagesPassUnchanged) {
    MapHarness h;
    h.load({openItem(MAP_NOTE_ON, MAP_DISCARD)});
    EXPECT_EQ(h.send(cc(0, 7, 1)), (Outputs{{cc(0, 7, 1), 0}}));
    MapHarness any;
    any.load({openItem(MAP_ANY, MAP_DISCARD)});
    for (uint8_t status : {0xF0, 0xF1, 0xF3, 0xF7, 0xF8, 0xFE, 0xF6, 0xFF}) {
        EXPECT_EQ(any.messages(msg(status, 1, 2)), Messages{msg(status, 1, 2)})
            << std::hex << int(status);
    }
    EXPECT_TRUE(any.send(noteOn(3, 60, 1)).empty());
}

TEST(MapStepPlain, MatchesByChannelTypeAndRanges) {
    MapItem item = openItem(MAP_NOTE_ON, MAP_NOTE_ON);
    item.sourceChannel = 2;
    item.sourceV1Min = 60;
    item.sourceV1Max = 72;
    item.sourceV2Max = 100; // minimum open
    item.targetChannel = 9;
    MapHarness h;
    h.load({item});
    EXPECT_EQ(h.messages(noteOn(2, 60, 100)), Messages{noteOn(9, 60, 100)});
    EXPECT_EQ(h.messages(noteOn(2, 73, 100)), Messages{noteOn(2, 73, 100)});
    EXPECT_EQ(h.messages(noteOn(2, 60, 101)), Messages{noteOn(2, 60, 101)});
    EXPECT_EQ(h.messages(noteOn(3, 60, 100)), Messages{noteOn(3, 60, 100)});
    EXPECT_EQ(h.messages(msg(0x82, 60, 100)), Messages{msg(0x82, 60, 100)});
}

TEST(MapStepPlain, ProgramChangeChecksFirstRangeAndTransportIgnoresChannel) {
    MapItem program = openItem(MAP_PROG_CHG, MAP_PROG_CHG);
    program.sourceV1Min = program.sourceV1Max = 5;
    program.sourceV2Min = program.sourceV2Max = 99; // not checked for program changes
    program.targetV1Min = program.targetV1Max = 9;
    MapItem start = openItem(MAP_START, MAP_STOP);
    start.sourceChannel = 4;
    MapHarness h;
    h.load({program, start});
    EXPECT_EQ(h.messages(msg(0xC0, 5)), Messages{msg(0xC0, 9)});
    EXPECT_EQ(h.messages(msg(0xFA)), Messages{msg(0xFC)});
}

TEST(MapStepPlain, ScalesIntoTheTargetRange) {
    MapItem invert = openItem(MAP_CTRL, MAP_CTRL);
    invert.sourceV2Min = 0;
    invert.sourceV2Max = 127;
    invert.targetV2Min = 127;
    invert.targetV2Max = 0;
    MapItem half = openItem(MAP_NOTE_ON, MAP_NOTE_ON);
    half.sourceV1Min = 0;
    half.sourceV1Max = 127;
    half.targetV1Min = 0;
    half.targetV1Max = 63;
    MapHarness h;
    h.load({invert, half});
    EXPECT_EQ(h.messages(cc(0, 7, 0)), Messages{cc(0, 7, 127)});
    EXPECT_EQ(h.messages(cc(0, 7, 127)), Messages{cc(0, 7, 0)});
    EXPECT_EQ(h.messages(cc(0, 7, 64)), Messages{cc(0, 7, 63)});
    EXPECT_EQ(h.messages(noteOn(0, 1, 90)), Messages{noteOn(0, 0, 90)});
    EXPECT_EQ(h.messages(noteOn(0, 2, 90)), Messages{noteOn(0, 1, 90)});
}

TEST(MapStepPlain, PullFlagsSwapValuesWithTheirRanges) {
    // Note on → controller: controller number from the velocity, value from the note.
    MapItem item = openItem(MAP_NOTE_ON, MAP_CTRL);
    item.itemFlags = MAPITEM_PULL_V1 | MAPITEM_PULL_V2;
    item.sourceV1Min = 0;
    item.sourceV1Max = 127;
    item.targetV2Min = 0;
    item.targetV2Max = 63; // value 2 comes from V1 with V1's source range
    MapHarness h;
    h.load({item});
    EXPECT_EQ(h.messages(noteOn(1, 127, 20)), Messages{cc(1, 20, 63)});
}

TEST(MapStepPlain, InputTypeTargetKeepsKindAndSystemStatus) {
    MapItem anyType = openItem(MAP_ANY, MAP_ANY);
    anyType.targetChannel = 5;
    MapHarness h;
    h.load({anyType});
    EXPECT_EQ(h.messages(msg(0xE0, 1, 64)), Messages{msg(0xE5, 1, 64)});
    // A song position keeps its status rather than turning into 0xF5.
    EXPECT_EQ(h.messages(msg(0xF2, 1, 2)), Messages{msg(0xF2, 1, 2)});
}

TEST(MapStepPlain, OutputsKeepTheOriginMarkAndSevenBitData) {
    MapItem wide = openItem(MAP_CTRL, MAP_CTRL);
    wide.targetChannel = 20; // out of range: kept to 4 bits
    wide.sourceV2Min = 0;
    wide.sourceV2Max = 127;
    wide.targetV2Min = 0;
    wide.targetV2Max = 255;
    MapHarness h;
    h.load({wide});
    uint32_t marked = cc(0, 7, 127) | uint32_t{CVX_ORIGIN_PANEL} << 24;
    uint32_t out = h.messages(marked).at(0);
    EXPECT_EQ(out >> 24, CVX_ORIGIN_PANEL);
    EXPECT_EQ(out & 0xFF, 0xB4u);
    EXPECT_EQ((out >> 16) & 0x80, 0u) << "a data byte may never look like a status byte";
}

TEST(MapStepPlain, DiscardSuppresses) {
    MapHarness h;
    h.load({openItem(MAP_PITCH_B, MAP_DISCARD)});
    EXPECT_TRUE(h.send(msg(0xE3, 0, 64)).empty());
}

TEST(MapStepPlain, CloneChainsProduceOneOutputPerItem) {
    MapItem toChannel2 = openItem(MAP_NOTE_ON, MAP_NOTE_ON);
    toChannel2.targetChannel = 1;
    toChannel2.itemFlags = MAPITEM_CLONE;
    MapItem toChannel3 = toChannel2;
    toChannel3.targetChannel = 2;
    toChannel3.itemFlags = 0;
    MapHarness chain;
    chain.load({toChannel2, toChannel3});
    EXPECT_EQ(chain.messages(noteOn(0, 60, 9)), (Messages{noteOn(1, 60, 9), noteOn(2, 60, 9)}));

    // A clone with nothing after it passes the input on as well.
    MapHarness single;
    single.load({toChannel2});
    EXPECT_EQ(single.messages(noteOn(0, 60, 9)), (Messages{noteOn(1, 60, 9), noteOn(0, 60, 9)}));
}

TEST(MapStepPlain, DelayComesFromTheItemThatProducedTheMessage) {
    MapItem delayed = openItem(MAP_NOTE_ON, MAP_NOTE_ON);
    delayed.itemFlags = MAPITEM_CLONE | (100u << MAPITEM_DELAY_SHIFT);
    MapItem max = openItem(MAP_NOTE_ON, MAP_NRPN);
    max.itemFlags = 1023u << MAPITEM_DELAY_SHIFT;
    MapHarness h;
    h.load({delayed, max});
    Outputs out = h.send(noteOn(0, 1, 2));
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(out[0], (Output{noteOn(0, 1, 2), 100}));
    for (size_t i = 1; i < out.size(); ++i) {
        EXPECT_EQ(out[i].delay, 1023u) << "sequence message " << i;
    }
}

TEST(MapStepSequence, PlainMessageBecomesNrpnOrRpnSequence) {
    MapItem toNrpn = openItem(MAP_CTRL, MAP_NRPN);
    toNrpn.sourceV1Min = toNrpn.sourceV1Max = 7;
    toNrpn.targetV1Min = toNrpn.targetV1Max = 0x0105; // parameter MSB 2, LSB 5
    toNrpn.sourceV2Min = 0;
    toNrpn.sourceV2Max = 127;
    toNrpn.targetV2Min = 0;
    toNrpn.targetV2Max = 0x3FFF;
    MapItem toRpn = openItem(MAP_CTRL, MAP_RPN);
    toRpn.targetChannel = 3;
    MapHarness h;
    h.load({toNrpn, toRpn});
    EXPECT_EQ(h.messages(cc(0, 7, 127)), (Messages{cc(0, 99, 2), cc(0, 98, 5), cc(0, 6, 127)}));
    EXPECT_EQ(h.messages(cc(0, 10, 64)), (Messages{cc(3, 101, 0), cc(3, 100, 10), cc(3, 6, 0)}));
}

TEST(MapStepSequence, FullNrpnSendsBothDataBytesInEitherOrder) {
    MapItem item = openItem(MAP_CTRL, MAP_NRPN);
    item.targetV1Min = item.targetV1Max = 0x0081; // MSB 1, LSB 1
    item.sourceV2Min = 0;
    item.sourceV2Max = 127;
    item.targetV2Min = 0;
    item.targetV2Max = 0x3FFF; // 64 → 8256: MSB 64, LSB 64
    MapHarness forward;
    forward.load({item}, MAP_SEND_FULL_NRPN);
    EXPECT_EQ(forward.messages(cc(0, 7, 64)),
              (Messages{cc(0, 99, 1), cc(0, 98, 1), cc(0, 6, 64), cc(0, 38, 64)}));
    MapHarness reverse;
    reverse.load({item}, MAP_SEND_FULL_NRPN | MAP_REVERSE_DATA_ENTRY);
    EXPECT_EQ(reverse.messages(cc(0, 7, 1)),
              (Messages{cc(0, 99, 1), cc(0, 98, 1), cc(0, 38, 1), cc(0, 6, 1)}));
    // Without SendFullNRPN the data LSB is neither kept nor sent.
    MapHarness coarse;
    coarse.load({item}, MAP_REVERSE_DATA_ENTRY);
    EXPECT_EQ(coarse.messages(cc(0, 7, 1)), (Messages{cc(0, 99, 1), cc(0, 98, 1), cc(0, 6, 1)}));
}

TEST(MapStepTargets, TargetsWithoutAMessageTypeMatchNothing) {
    MapItem unknown = openItem(MAP_NOTE_ON, 0);
    MapItem above = openItem(MAP_NOTE_ON, 16);
    MapItem top = openItem(MAP_NOTE_ON, 254);
    MapItem real = openItem(MAP_NOTE_ON, MAP_NOTE_OFF);
    MapHarness h;
    h.load({unknown, above, top, real});
    EXPECT_EQ(h.messages(noteOn(4, 60, 1)), Messages{msg(0x84, 60, 1)});
    MapHarness only;
    only.load({unknown, above, top});
    EXPECT_EQ(only.messages(noteOn(4, 60, 1)), Messages{noteOn(4, 60, 1)});
}

TEST(MapStepTargets, SourceTypesThatAreNotMessagesMatchNothing) {
    MapHarness h;
    h.load({openItem(0, MAP_DISCARD), openItem(MAP_SYSEX, MAP_DISCARD),
            openItem(MAP_DISCARD, MAP_DISCARD)});
    EXPECT_EQ(h.messages(noteOn(0, 1, 1)), Messages{noteOn(0, 1, 1)});
}

TEST(MapStepSysEx, PlaceholdersTakeDataAndChannelOfTheTrigger) {
    PoolBuilder pool;
    uint16_t first = pool.add({0xFA, 0xF0, 0x43, 0xFA, 0xFB, 0xFC, 0xF7, 0xFB});
    MapItem item = openItem(MAP_NOTE_ON, MAP_SYSEX);
    item.sysexOffset = first;
    MapHarness h;
    h.load({item}, 0, pool.bytes());
    EXPECT_TRUE(h.send(noteOn(5, 60, 100), 17).empty());
    ASSERT_EQ(h.sysex().size(), 1u);
    // Outside F0 ... F7 the bytes are left alone.
    EXPECT_EQ(h.sysex()[0].bytes, (std::vector<uint8_t>{0xFA, 0xF0, 0x43, 60, 100, 5, 0xF7, 0xFB}));
    EXPECT_EQ(h.sysex()[0].port, 17);
}

TEST(MapStepSysEx, SubstitutedValuesStayDataBytes) {
    PoolBuilder pool;
    uint16_t entry = pool.add({0xF0, 0xFA, 0xFB, 0xF7});
    MapItem item = openItem(MAP_NOTE_ON, MAP_SYSEX);
    item.sysexOffset = entry;
    MapHarness h;
    h.load({item}, 0, pool.bytes());
    h.send(msg(0x90, 0xF7, 0xFF)); // injected events may carry 8-bit data
    ASSERT_EQ(h.sysex().size(), 1u);
    EXPECT_EQ(h.sysex()[0].bytes, (std::vector<uint8_t>{0xF0, 0x77, 0x7F, 0xF7}));
}

TEST(MapStepSysEx, MalformedEntriesAreNotSent) {
    PoolBuilder pool;
    uint16_t good = pool.add({0xF0, 0x01, 0xF7});
    std::vector<uint8_t>& bytes = pool.bytes();
    uint16_t runsPast = static_cast<uint16_t>(bytes.size());
    bytes.push_back(50); // claims 50 bytes, holds 2
    bytes.push_back(0);
    bytes.push_back(0xF0);
    bytes.push_back(0xF7);
    PoolBuilder longPool;
    longPool.add(std::vector<uint8_t>(MAP_SYSEX_STRING_MAX + 1, 0x01));
    PoolBuilder emptyPool;
    uint16_t empty = emptyPool.add({});

    struct Case {
        std::vector<uint8_t> pool;
        uint16_t offset;
    } cases[] = {{bytes, 0},                                         // no string
                 {bytes, 2},                                         // inside the header
                 {bytes, static_cast<uint16_t>(bytes.size() - 1)},   // count past the end
                 {bytes, static_cast<uint16_t>(bytes.size() + 100)}, // past the end
                 {bytes, runsPast},                                  // bytes past the end
                 {longPool.bytes(), MAP_SYSEX_POOL_HEADER},          // longer than 1022
                 {emptyPool.bytes(), empty}};                        // nothing to send
    for (const Case& c : cases) {
        MapItem item = openItem(MAP_NOTE_ON, MAP_SYSEX);
        item.sysexOffset = c.offset;
        MapHarness h;
        h.load({item}, 0, c.pool);
        EXPECT_EQ(h.messages(noteOn(0, 1, 1)), Messages{noteOn(0, 1, 1)}) << c.offset;
        EXPECT_TRUE(h.sysex().empty()) << c.offset;
    }
    MapItem item = openItem(MAP_NOTE_ON, MAP_SYSEX);
    item.sysexOffset = good;
    MapHarness h;
    h.load({item}, 0, bytes);
    EXPECT_TRUE(h.send(noteOn(0, 1, 1)).empty());
    EXPECT_EQ(h.sysex().size(), 1u);
}

TEST(MapStepSysEx, LongestStringIsSentWhole) {
    PoolBuilder pool;
    std::vector<uint8_t> longest(MAP_SYSEX_STRING_MAX, 0x11);
    longest.front() = 0xF0;
    longest.back() = 0xF7;
    MapItem item = openItem(MAP_NOTE_ON, MAP_SYSEX);
    item.sysexOffset = pool.add(longest);
    MapHarness h;
    h.load({item}, 0, pool.bytes());
    h.send(noteOn(0, 1, 1));
    ASSERT_EQ(h.sysex().size(), 1u);
    EXPECT_EQ(h.sysex()[0].bytes, longest);
}

} // namespace
} // namespace cvx::mapping
