#include "datapath_fixture.h"

namespace {

using cvx::test::Bytes;
using cvx::test::DataPathTest;
using cvx::test::routeFrom;

TEST_F(DataPathTest, ARouteMapTurnsAControllerIntoAnNrpnOnItsOutputOnly) {
    openInput(0);
    openOutput(2, routeFrom({0}));
    openOutput(3, routeFrom({0}));
    MapItem item = cvx::test::openItem(MAP_CTRL, MAP_NRPN);
    item.sourceV1Min = item.sourceV1Max = 7;
    item.sourceV2Min = 0;
    item.sourceV2Max = 127;
    // The target parameter stays open: it is the controller number.
    item.targetV2Min = 0;
    item.targetV2Max = 0x3FFF;
    SMapper map{};
    map.itemCount = 1;
    map.items = &item;
    ASSERT_EQ(m32SendPDMap(handle, 0, 2, map), 1);
    feed(0, {0xB1, 7, 127});
    EXPECT_EQ(take(2), (Bytes{0xB1, 99, 0, 0xB1, 98, 7, 0xB1, 6, 127}));
    EXPECT_EQ(take(3), (Bytes{0xB1, 7, 127}));
    m32ClearPDMap(handle, 0, 2);
    feed(0, {0xB1, 7, 1});
    EXPECT_EQ(take(2), (Bytes{0xB1, 7, 1}));
}

TEST_F(DataPathTest, MapSysExTargetsLeaveThroughTheSysExOutput) {
    openInput(0);
    openOutput(2, routeFrom({0, cvx::core::kGeneratedPort}), 2, 64);
    uint8_t pool[32] = {'S', 'Y', 'X', 0, 6, 0, 0xF0, 0x43, 0xFC, 0xFA, 0xFB, 0xF7};
    MapItem item = cvx::test::openItem(MAP_NOTE_ON, MAP_SYSEX);
    item.sysexOffset = 4;
    SMapper map{};
    map.mapIsOn = 1;
    map.itemCount = 1;
    map.items = &item;
    map.sysexLength = 12;
    map.sysexPool = pool;
    ASSERT_EQ(m32SendMap(handle, map), 1);
    feed(0, {0x92, 60, 100});
    cvxClockAdvance(3);
    EXPECT_EQ(take(2), (Bytes{0xF0, 0x43, 0x02, 60, 100, 0xF7}));
}

} // namespace
