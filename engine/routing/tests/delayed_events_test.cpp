#include "datapath_fixture.h"

#include <vector>

namespace {

using cvx::test::Bytes;
using cvx::test::DataPathTest;
using cvx::test::routeFrom;

// A global map whose one item passes every controller on, delayed by `delayMs`.
class DelayedEventsTest : public DataPathTest {
protected:
    void SetUp() override {
        DataPathTest::SetUp();
        openInput(0);
        openOutput(2, routeFrom({0, cvx::core::kGeneratedPort}));
        item = cvx::test::openItem(MAP_CTRL, MAP_ANY);
        item.itemFlags = static_cast<uint16_t>(kDelayMs << MAPITEM_DELAY_SHIFT);
        map.mapIsOn = 1;
        map.itemCount = 1;
        map.items = &item;
        ASSERT_EQ(m32SendMap(handle, map), 1);
        m32StartTimeStamp(handle);
    }

    static constexpr uint32_t kDelayMs = 100;
    MapItem item{};
    SMapper map{};
};

TEST_F(DelayedEventsTest, AMappedDelayHoldsTheMessage) {
    feed(0, {0xB0, 7, 100});
    cvxClockAdvance(95);
    EXPECT_TRUE(take(2).empty());
    cvxClockAdvance(10);
    EXPECT_EQ(take(2), (Bytes{0xB0, 7, 100}));
    auto sent = sentRecords();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].timestamp, kDelayMs) << "stamped with its due time";
    EXPECT_EQ(client->delays.pumpTimer.load(), 0u) << "the pump stops when nothing is pending";
}

TEST_F(DelayedEventsTest, EqualDueTimesLeaveInReverseOrderOfScheduling) {
    feed(0, {0xB0, 1, 1, 0xB0, 2, 2, 0xB0, 3, 3});
    cvxClockAdvance(kDelayMs + 5);
    EXPECT_EQ(take(2), (Bytes{0xB0, 3, 3, 0xB0, 2, 2, 0xB0, 1, 1}));
}

TEST_F(DelayedEventsTest, AnEmptyPoolDeliversAtOnce) {
    Bytes burst;
    for (int i = 0; i < 600; ++i) {
        burst.insert(burst.end(), {0xB0, static_cast<uint8_t>(i % 100), 1});
    }
    feed(0, burst);
    EXPECT_EQ(take(2).size(), (600u - 512u) * 3) << "the pool holds 512";
    cvxClockAdvance(kDelayMs + 5);
    EXPECT_EQ(take(2).size(), 512u * 3);
}

TEST_F(DelayedEventsTest, KeyboardEventsUseTheMapOnlyWhenItMapsKeys) {
    m32corvexEvent(handle, 0xB0, 0, 7, 1, 1);
    EXPECT_EQ(take(2), (Bytes{0xB0, 7, 1})) << "map keys off: sent at once";
    map.mapKeys = 1;
    ASSERT_EQ(m32SendMap(handle, map), 1);
    m32corvexEvent(handle, 0xB0, 0, 7, 2, 1);
    EXPECT_TRUE(take(2).empty());
    cvxClockAdvance(kDelayMs + 5);
    EXPECT_EQ(take(2), (Bytes{0xB0, 7, 2}));
}

TEST_F(DelayedEventsTest, MapEventsRunTheMapEvenWhenItIsOff) {
    map.mapIsOn = 0;
    ASSERT_EQ(m32SendMap(handle, map), 1);
    feed(0, {0xB0, 7, 1});
    EXPECT_EQ(take(2), (Bytes{0xB0, 7, 1})) << "input skips an inactive map";
    m32CorvexMapEvent(handle, 0, 0xB0, 7, 2);
    EXPECT_TRUE(take(2).empty());
    cvxClockAdvance(kDelayMs + 5);
    EXPECT_EQ(take(2), (Bytes{0xB0, 7, 2}));
}

TEST_F(DelayedEventsTest, ClosingAnOutputDropsWhatWaitsForIt) {
    vmidiAddCable("Extra"); // device 4
    HMIDIOUT extra = openOutput(4, routeFrom({cvx::core::kGeneratedPort}));
    m32CorvexMapEvent(handle, 0, 0xB0, 7, 3); // one entry per open output
    ASSERT_EQ(m32CloseMidiOut(extra, handle), 1);
    forgetOutput(extra);
    cvxClockAdvance(kDelayMs + 5);
    EXPECT_EQ(take(2), (Bytes{0xB0, 7, 3}));
    EXPECT_TRUE(take(4).empty());
    vmidiRemoveCable("Extra");
}

} // namespace

namespace {

TEST_F(DelayedEventsTest, ADelayScheduledByTheDelayedDeliveryKeepsThePumpRunning) {
    SMapper routeMap = map; // the route delays what the global map delayed once more
    ASSERT_EQ(m32SendPDMap(handle, 0, 2, routeMap), 1);
    feed(0, {0xB0, 7, 100});
    cvxClockAdvance(kDelayMs + 5);
    EXPECT_TRUE(take(2).empty()) << "held by the route's delay";
    cvxClockAdvance(kDelayMs + 5);
    EXPECT_EQ(take(2), (Bytes{0xB0, 7, 100}));
}

} // namespace
