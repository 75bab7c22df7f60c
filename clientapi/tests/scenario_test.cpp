// The client API from start to end: ports, routing, injection, events and status, all
// forwarded to the engine through its ordinals.
#include "client_api_fixture.h"

namespace cvx::test {
namespace {

constexpr uint16_t kInput = 0;  // cable 1 in
constexpr uint16_t kOutput = 1; // cable 2 out

TEST_F(ClientApiTest, RoutesInjectsAndReportsFromOpenToClose) {
    EXPECT_EQ(GetUsing16BitDLL(), 0);
    HMIDIIN in = openInput(kInput);
    HMIDIOUT out = openOutput(kOutput, routeFrom({kInput, CVX_GENERATED_PORT}));
    EXPECT_EQ(InDevOpenCount(client), 1);
    EXPECT_EQ(OutDevOpenCount(client), 1);
    EXPECT_EQ(IsInDevOpen(client, kInput), 1);
    EXPECT_EQ(IsOutDevOpen(client, kOutput), 1);
    EXPECT_EQ(IsOutDevOpen(client, kInput), 0);
    StartTimeStamp(client);
    cvxClockAdvance(5);
    EXPECT_EQ(GetTimeStamp(client), 5u);

    feed(kInput, {0x90, 60, 100});
    EXPECT_EQ(take(kOutput), (Bytes{0x90, 60, 100}));
    std::vector<EVENT> sent = messages(MON_MAIN);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].message & 0xFFFFFF, 0x643C90u);
    EXPECT_EQ(sent[0].port, kInput);
    EXPECT_EQ(sent[0].outPort, kOutput + 1);

    CPortStatus status{};
    GetPortStatus(client, &status);
    EXPECT_EQ(status.inputClasses[kInput], 1u);
    EXPECT_EQ(status.outputs[kOutput].statusBits, 1u);
    EXPECT_EQ(status.outputs[kOutput].deviceIndex, kOutput);
    EXPECT_EQ(status.outputs[kOutput].lastInput, kInput);
    GetPortStatus(client, &status);
    EXPECT_EQ(status.inputClasses[kInput], 0u);
    EXPECT_EQ(status.outputs[kOutput].statusBits, 0u);
    EXPECT_NE(status.outputs[kOutput].lastTime, 0u);

    EXPECT_EQ(SendRunStatus(client, 1), 0);
    feed(kInput, {0x90, 62, 100});
    EXPECT_EQ(take(kOutput), (Bytes{62, 100}));
    EXPECT_EQ(GetCurrentStatus(client, kOutput), 0x10090u);
    EXPECT_EQ(GetCurrentStatus(client, CVX_PORT_COUNT), 0u);
    SendRunStatus(client, 0);

    corvexEvent(client, 0xB0, 2, 7, 100, 0);
    corvexEventDirect(client, kOutput, 0xC3, 5, 0, 0);
    CorvexMapEvent(client, kInput, 0x80, 60, 0);
    EXPECT_EQ(take(kOutput), (Bytes{0xB2, 7, 100, 0xC3, 5, 0x80, 60, 0}));
    GetPortStatus(client, &status);
    EXPECT_EQ(status.inputClasses[CVX_GENERATED_PORT], 1u << 3);
    EXPECT_EQ(status.outputs[kOutput].statusBits, (1u << 0) | (1u << 2) | (1u << 3));

    CPortMap none{};
    UpdatePortMap(client, kOutput, &none);
    feed(kInput, {0x90, 64, 100});
    EXPECT_TRUE(take(kOutput).empty());

    closeInput(in);
    closeOutput(out);
    EXPECT_EQ(InDevOpenCount(client), 0);
    EXPECT_EQ(OutDevOpenCount(client), 0);
    EXPECT_EQ(IsInDevOpen(client, kInput), 0);
}

TEST_F(ClientApiTest, PatchMapHitsAreTakenToTheMainWindow) {
    openInput(kInput);
    PatchMapInfo info{};
    info.flags = CVX_PATCHMAP_ON;
    info.channelMask = 1;
    info.entries[5] = 1;
    SendPMInfo(client, &info);
    feed(kInput, {0xC0, 5, 0xC0, 6});
    EXPECT_EQ(mainWindow.count(WM_CVX_PATCH_CHANGE), 1u);
}

TEST_F(ClientApiTest, ScriptHostCallsDoNothingWithoutAHost) {
    EXPECT_EQ(InitRexxDll(), 0);
    RunRexxRoutine(mainWindow.handle(), client);
    CVXLUAMidiInput(mainWindow.handle());
    RexxTerminate();
    CvxDockMidiInput(mainWindow.handle());
    EXPECT_TRUE(mainWindow.posts().empty());
}

} // namespace
} // namespace cvx::test
