// The filter, data maps and SysEx families of the client API.
#include "client_api_fixture.h"

namespace cvx::test {
namespace {

constexpr uint16_t kInput = 0;
constexpr uint16_t kOutput = 1;

Bytes sysex(size_t length) {
    Bytes bytes(length, 0x11);
    bytes.front() = 0xF0;
    bytes.back() = 0xF7;
    return bytes;
}

// The header a WM_CVX_SYSEXDATA post lent to the application, or 0.
uint64_t lentHeader(const RecordingWindow& window) {
    for (const Post& post : window.posts()) {
        if (post.msg == WM_CVX_SYSEXDATA) {
            return static_cast<uint64_t>(post.lParam);
        }
    }
    return 0;
}

TEST_F(ClientApiTest, FilterAndMapsChangeWhatIsRouted) {
    openInput(kInput);
    openOutput(kOutput, routeFrom({kInput}));
    CFilter channelOne{};
    channelOne.filterFlags = CVX_FILTER_DATA | 1u;
    SendFilter(client, &channelOne);
    feed(kInput, {0x90, 60, 100, 0x91, 60, 100});
    EXPECT_EQ(take(kOutput), (Bytes{0x91, 60, 100}));
    CFilter open{};
    SendFilter(client, &open);

    MapItem discardNotes{};
    discardNotes.sourceChannel = 0xFF;
    discardNotes.sourceMessage = MAP_NOTE_ON;
    discardNotes.sourceV1Min = discardNotes.sourceV2Min = 0xFFFF;
    discardNotes.sourceV1Max = discardNotes.sourceV2Max = 0xFFFF;
    discardNotes.targetMessage = MAP_DISCARD;
    SMapper map{};
    map.mapIsOn = 1;
    map.itemCount = 1;
    map.items = &discardNotes;
    ASSERT_EQ(SendMap(client, map), 1);
    feed(kInput, {0x90, 60, 100, 0xB0, 7, 1});
    EXPECT_EQ(take(kOutput), (Bytes{0xB0, 7, 1}));
    map.mapIsOn = 0;
    ASSERT_EQ(SendMap(client, map), 1);

    map.mapIsOn = 1;
    ASSERT_EQ(SendPDMap(client, kInput, kOutput, map), 1);
    feed(kInput, {0x90, 60, 100, 0xB0, 7, 2});
    EXPECT_EQ(take(kOutput), (Bytes{0xB0, 7, 2}));
    ClearPDMap(client, kInput, kOutput);
    feed(kInput, {0x90, 60, 100});
    EXPECT_EQ(take(kOutput), (Bytes{0x90, 60, 100}));
    EXPECT_EQ(SendParms(client, 0, 10), 1);
}

TEST_F(ClientApiTest, SysExGoesOutIsLentAndIsCaptured) {
    HMIDIIN in = openInput(kInput, 2);
    HMIDIOUT out = openOutput(kOutput, routeFrom({kInput, CVX_GENERATED_PORT}), 2);
    Bytes block = sysex(20);
    EXPECT_EQ(SendSysEx(client, reinterpret_cast<char*>(block.data()), 20), MMSYSERR_NOERROR);
    cvxClockAdvance(3);
    EXPECT_EQ(take(kOutput), block);

    feed(kInput, block);
    cvxClockAdvance(3);
    EXPECT_EQ(take(kOutput), block);
    uint64_t header = lentHeader(mainWindow);
    ASSERT_NE(header, 0u);
    EXPECT_EQ(RetBuf(in, header), MMSYSERR_NOERROR);
    std::vector<EVENT> events = readAll(MON_MAIN);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ((events.back().message >> 24), CVX_ORIGIN_CHUNK);
    uint8_t piece[18];
    EXPECT_EQ(GetSysExString(client, static_cast<uint16_t>(events.back().timestamp), piece, 18),
              block[18]);

    RecordingWindow capture;
    EXPECT_EQ(DivertSysExSet(client, 32, 256), 1);
    ASSERT_EQ(DivertSysExStart(client, capture.handle()), 1);
    EXPECT_EQ(DivertSysExSet(client, 64, 512), 0) << "not while capturing";
    feed(kInput, block);
    EXPECT_EQ(capture.count(WM_CVX_SYSEX_CAPTURED), 1u);
    Bytes captured(64);
    ASSERT_EQ(GetSysExData(client, captured.data(), 64), 20u);
    captured.resize(20);
    EXPECT_EQ(captured, block);
    DivertSysExStop(client);

    FreeSyxBufOut(out, client);
    FreeSyxBufIn(in, client);
    EXPECT_EQ(AllocSyxBufOut(out, client, 64), 1);
}

} // namespace
} // namespace cvx::test
