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

using Messages = std::vector<uint32_t>;

// An item taking NRPN (or RPN) parameter `parameter` on channel 0 to controller 20 with the
// incoming data MSB as its value (0-0x3F80 scales onto 0-127 exactly).
MapItem parameterToController(uint8_t sourceType, uint16_t parameter) {
    MapItem item = openItem(sourceType, MAP_CTRL);
    item.sourceChannel = 0;
    item.sourceV1Min = item.sourceV1Max = parameter;
    item.sourceV2Min = 0;
    item.sourceV2Max = 0x3F80;
    item.targetV1Min = item.targetV1Max = 20;
    item.targetV2Min = 0;
    item.targetV2Max = 127;
    return item;
}

// Sends each message; returns everything that came out, in order.
Messages sendAll(MapHarness& h, const Messages& in) {
    Messages out;
    for (uint32_t m : in) {
        for (uint32_t produced : h.messages(m)) {
            out.push_back(produced);
        }
    }
    return out;
}

TEST(NrpnInput, AssembledParameterProducesOneOutputAfterDataEntry) {
    MapHarness h;
    h.load({parameterToController(MAP_NRPN, 0x0105)});
    EXPECT_TRUE(h.messages(cc(0, 99, 2)).empty());
    EXPECT_TRUE(h.messages(cc(0, 98, 5)).empty());
    EXPECT_EQ(h.messages(cc(0, 6, 127)), Messages{cc(0, 20, 127)});
    // Data entry alone reuses the selected parameter.
    EXPECT_EQ(h.messages(cc(0, 6, 0)), Messages{cc(0, 20, 0)});
}

TEST(NrpnInput, WaitForFullNrpnMatchesAfterTheDataLsb) {
    MapItem item = parameterToController(MAP_NRPN, 0x0105);
    item.sourceV2Min = item.sourceV2Max = 0x0203; // only data MSB 4, LSB 3
    item.targetV2Min = item.targetV2Max = 77;
    MapHarness h;
    h.load({item}, MAP_WAIT_FOR_FULL_NRPN);
    EXPECT_TRUE(sendAll(h, {cc(0, 99, 2), cc(0, 98, 5), cc(0, 6, 4)}).empty());
    EXPECT_EQ(h.messages(cc(0, 38, 3)), Messages{cc(0, 20, 77)});
}

TEST(NrpnInput, UnmatchedSequencePassesUnchangedInArrivalOrder) {
    for (uint8_t type : {MAP_NRPN, MAP_RPN}) {
        uint8_t msb = type == MAP_NRPN ? 99 : 101;
        uint8_t lsb = type == MAP_NRPN ? 98 : 100;
        MapHarness h;
        h.load({parameterToController(type, 0x0105)});
        EXPECT_TRUE(h.messages(cc(0, msb, 9)).empty());
        EXPECT_TRUE(h.messages(cc(0, lsb, 9)).empty());
        EXPECT_EQ(h.messages(cc(0, 6, 1)), (Messages{cc(0, msb, 9), cc(0, lsb, 9), cc(0, 6, 1)}))
            << int(type);
        EXPECT_EQ(h.messages(cc(0, 6, 2)), Messages{cc(0, 6, 2)}) << "released only once";
    }
}

TEST(NrpnInput, RpnSequencesMatchRpnItems) {
    MapHarness h;
    h.load({parameterToController(MAP_NRPN, 0), parameterToController(MAP_RPN, 0)});
    EXPECT_EQ(sendAll(h, {cc(0, 101, 0), cc(0, 100, 0), cc(0, 6, 64)}), Messages{cc(0, 20, 64)});
}

TEST(NrpnInput, NullRpnClearsBothRecordsAndPassesOn) {
    MapHarness h;
    h.load({parameterToController(MAP_RPN, 0x0105), parameterToController(MAP_NRPN, 0x0105)});
    sendAll(h, {cc(0, 99, 2), cc(0, 98, 5), cc(0, 6, 1)});
    EXPECT_TRUE(h.messages(cc(0, 101, 127)).empty());
    EXPECT_EQ(h.messages(cc(0, 100, 127)), (Messages{cc(0, 101, 127), cc(0, 100, 127)}));
    const NrpnRecord& nrpn = h.nrpn().nrpn[0];
    const NrpnRecord& rpn = h.nrpn().rpn[0];
    EXPECT_EQ(nrpn.flags | nrpn.received | nrpn.paramMsb | nrpn.dataMsb | nrpn.heldCount, 0);
    EXPECT_EQ(rpn.flags | rpn.received | rpn.paramMsb | rpn.dataMsb, 0);
    // With no parameter selected, data entry is an ordinary controller again.
    EXPECT_EQ(h.messages(cc(0, 6, 3)), Messages{cc(0, 6, 3)});
}

TEST(NrpnInput, DataIncrementAndDecrementCarryWithFullValues) {
    MapItem item = parameterToController(MAP_NRPN, 0x0105);
    item.targetV1Min = item.targetV1Max = 0xFFFF; // data 1 open: 0
    item.sourceV2Max = 0x3FFF;
    item.targetV2Min = 0;
    item.targetV2Max = 0x3FFF; // value masked to 7 bits: the LSB
    MapHarness h;
    h.load({item}, MAP_WAIT_FOR_FULL_NRPN | MAP_NRPN_DATA_INCR);
    sendAll(h, {cc(0, 99, 2), cc(0, 98, 5), cc(0, 6, 0), cc(0, 38, 127)});
    EXPECT_EQ(valueOf(h.nrpn().nrpn[0]), 127);
    EXPECT_EQ(h.messages(cc(0, 96, 0)), Messages{cc(0, 0, 0)});
    EXPECT_EQ(valueOf(h.nrpn().nrpn[0]), 128);
    h.messages(cc(0, 97, 0));
    EXPECT_EQ(valueOf(h.nrpn().nrpn[0]), 127);
    sendAll(h, {cc(0, 6, 127), cc(0, 38, 127), cc(0, 96, 0)});
    EXPECT_EQ(valueOf(h.nrpn().nrpn[0]), 0) << "14-bit values wrap";
}

TEST(NrpnInput, DataIncrementWithoutFullValuesStepsTheMsb) {
    MapHarness h;
    h.load({parameterToController(MAP_NRPN, 0x0105)}, MAP_NRPN_DATA_INCR);
    sendAll(h, {cc(0, 99, 2), cc(0, 98, 5), cc(0, 6, 127)});
    EXPECT_EQ(h.messages(cc(0, 96, 0)), Messages{cc(0, 20, 0)});
    EXPECT_EQ(h.nrpn().nrpn[0].dataMsb, 0) << "the MSB wraps modulo 128";
    EXPECT_EQ(h.messages(cc(0, 97, 0)).size(), 1u);
    EXPECT_EQ(h.nrpn().nrpn[0].dataMsb, 127);
}

TEST(NrpnInput, IncrementsAreOrdinaryControllersUnlessEnabledAndReady) {
    MapHarness off;
    off.load({parameterToController(MAP_NRPN, 0x0105)});
    sendAll(off, {cc(0, 99, 2), cc(0, 98, 5), cc(0, 6, 1)});
    EXPECT_EQ(off.messages(cc(0, 96, 0)), Messages{cc(0, 96, 0)});
    MapHarness notReady;
    notReady.load({parameterToController(MAP_NRPN, 0x0105)}, MAP_NRPN_DATA_INCR);
    sendAll(notReady, {cc(0, 99, 2), cc(0, 98, 5)});
    EXPECT_EQ(notReady.messages(cc(0, 96, 0)), Messages{cc(0, 96, 0)});
}

TEST(NrpnInput, ChannelWithoutParameterItemsPassesControllers) {
    MapHarness h;
    h.load({parameterToController(MAP_NRPN, 0x0105)}); // channel 0 only
    EXPECT_EQ(sendAll(h, {cc(1, 99, 2), cc(1, 98, 5), cc(1, 6, 1)}),
              (Messages{cc(1, 99, 2), cc(1, 98, 5), cc(1, 6, 1)}));
    // An item that can produce nothing does not make its channel hold controllers.
    MapItem unusable = parameterToController(MAP_NRPN, 0x0105);
    unusable.targetMessage = 0;
    MapHarness none;
    none.load({unusable});
    EXPECT_EQ(none.messages(cc(0, 99, 2)), Messages{cc(0, 99, 2)});
}

TEST(NrpnInput, DiscardSwallowsTheSequence) {
    MapItem discard = parameterToController(MAP_NRPN, 0x0105);
    discard.targetMessage = MAP_DISCARD;
    MapHarness h;
    h.load({discard});
    EXPECT_TRUE(sendAll(h, {cc(0, 99, 2), cc(0, 98, 5), cc(0, 6, 1)}).empty());
}

TEST(NrpnInput, CloneAlsoPassesTheRawControllers) {
    MapItem clone = parameterToController(MAP_NRPN, 0x0105);
    clone.itemFlags = MAPITEM_CLONE;
    MapHarness h;
    h.load({clone});
    EXPECT_EQ(sendAll(h, {cc(0, 99, 2), cc(0, 98, 5), cc(0, 6, 127)}),
              (Messages{cc(0, 20, 127), cc(0, 99, 2), cc(0, 98, 5), cc(0, 6, 127)}));
}

TEST(NrpnInput, ParameterToParameterSequence) {
    MapItem renumber = openItem(MAP_NRPN, MAP_RPN);
    renumber.itemFlags = 7u << MAPITEM_DELAY_SHIFT;
    renumber.targetChannel = 2;
    MapItem same = openItem(MAP_RPN, MAP_ANY); // the input's type: RPN stays RPN
    MapHarness h;
    h.load({renumber, same}, MAP_SEND_FULL_NRPN | MAP_WAIT_FOR_FULL_NRPN);
    sendAll(h, {cc(0, 99, 1), cc(0, 98, 2), cc(0, 6, 3)});
    std::vector<Output> out = h.send(cc(0, 38, 4));
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(out[0], (Output{cc(2, 101, 1), 7}));
    EXPECT_EQ(out[1], (Output{cc(2, 100, 2), 7}));
    EXPECT_EQ(out[2], (Output{cc(2, 6, 3), 7}));
    EXPECT_EQ(out[3], (Output{cc(2, 38, 4), 7}));
    EXPECT_EQ(sendAll(h, {cc(5, 101, 0), cc(5, 100, 7), cc(5, 6, 1), cc(5, 38, 2)}),
              (Messages{cc(5, 101, 0), cc(5, 100, 7), cc(5, 6, 1), cc(5, 38, 2)}));
}

TEST(NrpnInput, OtherMessagesDoNotDisturbAnAssembly) {
    MapHarness h;
    h.load({parameterToController(MAP_NRPN, 0x0105)});
    EXPECT_TRUE(h.messages(cc(0, 99, 2)).empty());
    EXPECT_EQ(h.messages(noteOn(0, 60, 1)), Messages{noteOn(0, 60, 1)});
    EXPECT_EQ(h.messages(cc(0, 7, 1)), Messages{cc(0, 7, 1)});
    EXPECT_TRUE(h.messages(cc(0, 98, 5)).empty());
    EXPECT_EQ(h.messages(cc(0, 6, 64)), Messages{cc(0, 20, 64)});
    EXPECT_EQ(h.messages(msg(0xF8)), Messages{msg(0xF8)});
    // An injected controller number above 127 is no parameter selection.
    EXPECT_EQ(h.messages(msg(0xB0, 99 | 0x80, 1)), Messages{msg(0xB0, 99 | 0x80, 1)});
    EXPECT_EQ(h.nrpn().nrpn[0].paramMsb, 2);
}

} // namespace
} // namespace cvx::mapping
