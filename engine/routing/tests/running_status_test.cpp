#include "datapath_fixture.h"

namespace {

using cvx::test::Bytes;
using cvx::test::DataPathTest;
using cvx::test::routeFrom;

class RunningStatusTest : public DataPathTest {
protected:
    void SetUp() override {
        DataPathTest::SetUp();
        openInput(0);
        openOutput(2, routeFrom({0, cvx::core::kGeneratedPort}));
        m32SendRunStatus(handle, 1);
    }
};

TEST_F(RunningStatusTest, RepeatedStatusLeavesWithoutItsStatusByte) {
    feed(0, {0x90, 60, 100, 0x90, 62, 100});
    EXPECT_EQ(take(2), (Bytes{0x90, 60, 100, 62, 100}));
    EXPECT_EQ(m32SendRunStatus(handle, 1), 1) << "returns the previous switch";
}

TEST_F(RunningStatusTest, AClockKeepsRunningStatusASongPositionEndsIt) {
    feed(0, {0x90, 60, 100, 0xF8, 0x90, 62, 100});
    EXPECT_EQ(take(2), (Bytes{0x90, 60, 100, 0xF8, 62, 100}));
    feed(0, {0x90, 64, 100, 0xF2, 0, 0, 0x90, 65, 100});
    EXPECT_EQ(take(2), (Bytes{64, 100, 0xF2, 0, 0, 0x90, 65, 100}));
}

TEST_F(RunningStatusTest, AnotherChannelSendsItsStatus) {
    feed(0, {0x90, 60, 100, 0x91, 60, 100, 0x90, 61, 100});
    EXPECT_EQ(take(2), (Bytes{0x90, 60, 100, 0x91, 60, 100, 0x90, 61, 100}));
}

TEST_F(RunningStatusTest, AMaskedChannelLeavesTheRunningStatusAlone) {
    CPortMap channelOne = routeFrom({0}, 0x0001);
    m32UpdPortMap(handle, 2, &channelOne);
    feed(0, {0x90, 60, 100, 0x91, 60, 100, 0x90, 61, 100});
    EXPECT_EQ(take(2), (Bytes{0x90, 60, 100, 61, 100}));
}

TEST_F(RunningStatusTest, MessagesSentOutsideTheRoutingKeepTheWireUnambiguous) {
    feed(0, {0x90, 60, 100});
    m32corvexEventDirect(handle, -1, 0x80, 60, 0, 0); // whole, and it changes the status
    feed(0, {0x90, 61, 100});
    EXPECT_EQ(take(2), (Bytes{0x90, 60, 100, 0x80, 60, 0, 0x90, 61, 100}));
}

TEST_F(RunningStatusTest, InjectedDataBytesAreKeptToSevenBits) {
    m32SendRunStatus(handle, 0);
    m32corvexEvent(handle, 0x90, 0, 0xBC, 0x1FF, 0);
    m32corvexEventDirect(handle, 2, 0xB0, 0x87, 0xC0, 0);
    m32CorvexMapEvent(handle, 0, 0xE0, 0xFF, 0x80);
    EXPECT_EQ(take(2), (Bytes{0x90, 0x3C, 0x7F, 0xB0, 0x07, 0x40, 0xE0, 0x7F, 0x00}));
}

TEST_F(RunningStatusTest, TheCurrentStatusIsKeptPerOutput) {
    feed(0, {0x91, 60, 100});
    EXPECT_EQ(client->outputs->ports[2].runningStatus, 0x91);
    m32SendRunStatus(handle, 0);
    feed(0, {0x91, 61, 100});
    EXPECT_EQ(take(2), (Bytes{0x91, 60, 100, 0x91, 61, 100})) << "off: always whole";
}

TEST_F(DataPathTest, GeneratedEventsFollowTheGeneratedPortMasks) {
    openOutput(2, routeFrom({cvx::core::kGeneratedPort}));
    openOutput(3, routeFrom({0}));
    m32corvexEvent(handle, 0x90, 3, 60, 100, 0);
    EXPECT_EQ(take(2), (Bytes{0x93, 60, 100}));
    EXPECT_TRUE(take(3).empty());
    auto sent = sentRecords();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].port, cvx::core::kGeneratedPort);
    EXPECT_EQ(sent[0].message >> 24, CVX_ORIGIN_PANEL);
    m32corvexEvent(handle, 0x90, 3, 60, 0x1FF, 1); // data wider than 7 bits keeps its low 7
    EXPECT_EQ(sentRecords()[0].message, 0xFD7F3C93u);
}

TEST_F(DataPathTest, CorvexEventWithoutOutputsRecordsNothing) {
    m32corvexEvent(handle, 0x90, 0, 60, 100, 0);
    EXPECT_TRUE(readAll(MON_MAIN).empty());
    EXPECT_EQ(mainWindow.count(WM_CVX_EVENTS), 1u);
    EXPECT_NE(client->inputs.ports[cvx::core::kGeneratedPort].statusClass.load(), 0u);
}

TEST_F(DataPathTest, DirectEventsGoOnlyToTheNamedOutputAndOnlyIfRouted) {
    vmidiAddCable("Extra");                                        // device 4
    openOutput(2, routeFrom({cvx::core::kGeneratedPort}, 0xFFFF)); // channels only
    openOutput(3, routeFrom({cvx::core::kGeneratedPort}));
    openOutput(4, routeFrom({0}));
    m32corvexEventDirect(handle, 3, 0xB0, 7, 100, 0);
    EXPECT_TRUE(take(2).empty());
    EXPECT_EQ(take(3), (Bytes{0xB0, 7, 100}));
    m32corvexEventDirect(handle, 4, 0xB0, 7, 100, 0);
    EXPECT_TRUE(take(4).empty()) << "the generated-event port is not routed to output 4";
    m32corvexEventDirect(handle, -1, 0xF8, 0, 0, 0);
    EXPECT_TRUE(take(2).empty()) << "realtime needs the realtime bit";
    EXPECT_EQ(take(3), (Bytes{0xF8}));
    CPortMap withRealtime = routeFrom({cvx::core::kGeneratedPort}, 0x2FFFF);
    m32UpdPortMap(handle, 2, &withRealtime);
    m32corvexEventDirect(handle, -1, 0xF8, 0, 0, 0);
    EXPECT_EQ(take(2), (Bytes{0xF8}));
    EXPECT_EQ(take(3), (Bytes{0xF8}));
    auto sent = sentRecords();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent[0].port, 0) << "direct events carry port 0";
}

// A message the output could not send (its cable was pulled) is not recorded as sent, and
// the outputs still there carry on as before.
TEST_F(DataPathTest, OnlyMessagesActuallySentAreRecorded) {
    ASSERT_EQ(vmidiAddCable("Pulled Cable"), 1);
    const uint16_t pulled = static_cast<uint16_t>(midiOutGetNumDevs() - 1);
    openOutput(pulled, routeFrom({0, cvx::core::kGeneratedPort}));
    openOutput(2, routeFrom({0, cvx::core::kGeneratedPort}));
    openInput(0);
    ASSERT_EQ(vmidiRemoveCable("Pulled Cable"), 1);
    feed(0, {0x90, 60, 100});
    m32corvexEventDirect(handle, -1, 0x80, 60, 0, 0);
    EXPECT_EQ(take(2), (Bytes{0x90, 60, 100, 0x80, 60, 0}));
    const std::vector<EVENT> sent = sentRecords();
    ASSERT_EQ(sent.size(), 2u);
    for (const EVENT& record : sent) {
        EXPECT_EQ(record.outPort, 3) << "only the output that sent it";
    }
}

} // namespace
