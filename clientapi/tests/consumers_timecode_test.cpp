// The consumer, divert, time-code and clock families of the client API.
#include "client_api_fixture.h"

#include <algorithm>

namespace cvx::test {
namespace {

constexpr uint16_t kInput = 0;
constexpr uint16_t kOutput = 1;

size_t countOf(const Bytes& bytes, uint8_t status) {
    return static_cast<size_t>(std::count(bytes.begin(), bytes.end(), status));
}

TEST_F(ClientApiTest, ConsumersReceiveWhatTheirDivertsTake) {
    openInput(kInput, 1);
    openOutput(kOutput, routeFrom({kInput}));
    RecordingWindow window;

    ASSERT_EQ(AttachRawMonitor(client, window.handle()), 1);
    feed(kInput, {0x90, 60, 100});
    EXPECT_EQ(messages(MON_RAW_INPUT).size(), 1u);
    EXPECT_EQ(take(kOutput), (Bytes{0x90, 60, 100}));
    EXPECT_EQ(DetachRawMonitor(client), 1);

    ASSERT_EQ(AttachLua(client, window.handle(), 1), 1);
    feed(kInput, {0x90, 61, 100});
    EXPECT_EQ(messages(MON_LUA).size(), 1u);
    EXPECT_TRUE(take(kOutput).empty());
    EXPECT_EQ(DetachLua(client), 1);

    ASSERT_EQ(InitCvxScript(client, window.handle()), 1);
    EXPECT_EQ(GetNumAttach(client), 1);
    DivertCvxScriptInput(client, 1, 0);
    EXPECT_EQ(IsCvxScriptInputDiverted(client), 1);
    feed(kInput, {0x90, 62, 100});
    EXPECT_TRUE(take(kOutput).empty());
    EXPECT_EQ(messages(MON_SCRIPT).size(), 1u);
    feed(kInput, {0xF0, 1, 2, 3, 0xF7});
    std::vector<EVENT> pieces = readAll(MON_SCRIPT);
    ASSERT_EQ(pieces.size(), 1u);
    uint8_t piece[256] = {};
    ASSERT_EQ(GetRawSxBuf(client, MON_SCRIPT, static_cast<uint16_t>(pieces[0].timestamp), piece,
                          sizeof piece),
              1);
    EXPECT_EQ(Bytes(piece, piece + 5), (Bytes{0xF0, 1, 2, 3, 0xF7}));
    DivertCvxScriptInput(client, 0, 0);
    EXPECT_EQ(TermCvxScript(client), 1);

    ASSERT_EQ(InitCvxDock(client, 7, window.handle()), 1);
    DivertCvxDockInput(client, 1, 0);
    EXPECT_EQ(IsCvxDockInputDiverted(client), 1);
    DivertCvxDockInput(client, 0, 0);
    EXPECT_EQ(TermCvxDock(client, 7), 1);
    EXPECT_EQ(GetNumAttach(client), 0);

    BlockInput(client, 1);
    feed(kInput, {0x90, 63, 100});
    EXPECT_TRUE(take(kOutput).empty());
    BlockInput(client, 0);
    feed(kInput, {0x90, 63, 100});
    EXPECT_EQ(take(kOutput), (Bytes{0x90, 63, 100}));
}

TEST_F(ClientApiTest, TimeCodeAndClockGoOutOnTheGeneratedPort) {
    openOutput(kOutput, routeFrom({CVX_GENERATED_PORT}));
    RecordingWindow transport;

    ASSERT_EQ(AttachMTC(client, transport.handle()), 1);
    ASSERT_EQ(ConfigMTC(client, 1, 5, 0), 1);
    ASSERT_EQ(GenMTCStart(client), 1);
    cvxClockAdvance(1000);
    EXPECT_EQ(GenMTCStop(client, 1), 1);
    EXPECT_EQ(countOf(take(kOutput), 0xF1), 100u); // 25 fps, the 100th due at 1 s
    EXPECT_EQ(DetachMTC(client), 1);

    ASSERT_EQ(AttachSync(client, transport.handle()), 1);
    ASSERT_EQ(ConfigSync(client, 0, 12000, 24), 1);
    ASSERT_EQ(SyncCmd(client, 1, 0), 1);
    ASSERT_EQ(StartClock(client), 1);
    cvxClockAdvance(1000);
    EXPECT_EQ(StopClock(client), 1);
    Bytes sent = take(kOutput);
    EXPECT_EQ(countOf(sent, 0xFA), 1u);
    EXPECT_NEAR(double(countOf(sent, 0xF8)), 48.0, 1.0); // 120 BPM, 24 per quarter note
    EXPECT_EQ(DetachSync(client), 1);
}

} // namespace
} // namespace cvx::test
