// GetPortCounters through the client API: a full Lua queue and a vanished output are
// counted, and the record is filled as far as cbStruct allows.
#include "client_api_fixture.h"

namespace cvx::test {
namespace {

constexpr size_t kQueueCapacity = 2400;

Bytes controlChanges(size_t count) {
    Bytes bytes;
    for (size_t i = 0; i < count; ++i) {
        bytes.insert(bytes.end(), {0xB0, 7, static_cast<uint8_t>(i % 128)});
    }
    return bytes;
}

CPortCounters counters(uint64_t client) {
    CPortCounters read{};
    read.cbStruct = sizeof read;
    EXPECT_EQ(GetPortCounters(client, &read), 1);
    EXPECT_EQ(read.cbStruct, sizeof read);
    return read;
}

TEST_F(ClientApiTest, PortCountersReportQueueDropsAndFailedSends) {
    RecordingWindow lua;
    ASSERT_EQ(AttachLua(client, lua.handle(), 1), 1);
    openInput(0);
    feed(0, controlChanges(kQueueCapacity + 5));
    EXPECT_EQ(counters(client).queueDrops[MON_LUA], 5u);
    EXPECT_EQ(readAll(MON_LUA).size(), kQueueCapacity);
    ASSERT_EQ(DetachLua(client), 1);

    ASSERT_EQ(vmidiAddCable("Client Counters"), 1);
    auto device = static_cast<uint16_t>(midiOutGetNumDevs() - 1);
    openOutput(device, routeFrom({0}));
    ASSERT_EQ(vmidiRemoveCable("Client Counters"), 1);
    feed(0, controlChanges(4));
    CPortCounters after = counters(client);
    EXPECT_EQ(after.outputFailures[device], 4u);
    EXPECT_EQ(after.queueDrops[MON_LUA], 5u);
    EXPECT_EQ(after.inputOverruns[0], 0u);

    CPortCounters tooShort{};
    tooShort.cbStruct = 4;
    EXPECT_EQ(GetPortCounters(client, &tooShort), 0);
    EXPECT_EQ(GetPortCounters(0, &after), 0);
}

} // namespace
} // namespace cvx::test
