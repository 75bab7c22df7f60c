// Maps written and read back through both file formats stay byte for byte the same, and the
// engine takes them and does the same with them as with the original.
#include "client_api_fixture.h"
#include "map_test_support.h"
#include "mapping/ascii_map_file.h"
#include "mapping/binary_map_file.h"
#include "mapping/map_capacity.h"

#include <gtest/gtest.h>

namespace corvex::test {
namespace {

using cvx::test::Bytes;
using cvx::test::ClientApiTest;
using cvx::test::routeFrom;

constexpr uint16_t kDelay5 = 5 << MAPITEM_DELAY_SHIFT;
constexpr uint16_t kDelay1023 = 1023 << MAPITEM_DELAY_SHIFT;

// Every message type in both positions, every flag, both marks, Discard and SysEx targets
// with and without entries. Each item listens on a channel of its own.
std::vector<MapRow> everyKindOfItem() {
    std::vector<MapRow> rows = {
        {makeItem(0, MAP_NOTE_ON, {60, 72, kAny, kAny}, 9, MAP_CTRL, {7, 7, 0, 127},
                  MAPITEM_CLONE | kDelay5 | MAPITEM_PULL_V1),
         {}},
        {makeItem(1, MAP_NOTE_OFF, kAnyBounds, 1, MAP_NOTE_ON, {0, 127, kAny, kAny},
                  MAPITEM_PULL_V2),
         {}},
        {makeItem(2, MAP_KEY_AFT, kAnyBounds, 0xFF, MAP_DISCARD, kAnyBounds), {}},
        {makeItem(3, MAP_CTRL, {7, 7, kAny, kAny}, 3, MAP_NRPN, {100, 100, 0, 16383}), {}},
        {makeItem(4, MAP_PROG_CHG, kAnyBounds, 0xFF, MAP_SYSEX, kAnyBounds),
         {0xF0, 0x7E, 0x7F, 0xFC, 0xFA, 0xF7}},
        {makeItem(5, MAP_CHAN_AFT, kAnyBounds, 0xFF, MAP_SYSEX, kAnyBounds), {}},
        {makeItem(6, MAP_PITCH_B, kAnyBounds, 6, MAP_RPN, {0, 0, kAny, kAny}), {}},
        {makeItem(7, MAP_NRPN, {130, 130, kAny, kAny}, 7, MAP_CTRL, {10, 10, 0, 127}), {}},
        {makeItem(8, MAP_RPN, {0, 0, kAny, kAny}, 8, MAP_PITCH_B, {kAny, kAny, 0, 127}), {}},
        {makeItem(0xFF, MAP_SPP, kAnyBounds, 0xFF, MAP_START, kAnyBounds), {}},
        {makeItem(0xFF, MAP_START, kAnyBounds, 0xFF, MAP_CONT, kAnyBounds), {}},
        {makeItem(0xFF, MAP_CONT, kAnyBounds, 0xFF, MAP_STOP, kAnyBounds), {}},
        {makeItem(0xFF, MAP_STOP, kAnyBounds, 0xFF, MAP_SPP, {0, 0, 1, 1}), {}},
        {makeItem(9, MAP_ANY, kAnyBounds, 0xFF, MAP_ANY, kAnyBounds, kDelay1023), {}},
        {makeItem(10, MAP_NOTE_ON, {0, 127, 1, 127}, 11, MAP_KEY_AFT, {127, 0, 0, 64}), {}},
        {makeItem(11, MAP_NOTE_ON, kAnyBounds, 12, MAP_CHAN_AFT, kAnyBounds), {}},
        {makeItem(12, MAP_NOTE_ON, kAnyBounds, 13, MAP_PROG_CHG, {5, 5, kAny, kAny}), {}},
        {makeItem(13, MAP_NOTE_ON, kAnyBounds, 14, MAP_NOTE_OFF, kAnyBounds,
                  MAPITEM_PULL_V1 | MAPITEM_PULL_V2),
         {}},
        {makeItem(14, MAP_NOTE_ON, kAnyBounds, 0xFF, MAP_DISCARD, kAnyBounds, kDelay5), {}},
    };
    return rows;
}

constexpr uint16_t kAllOptions =
    MAP_WAIT_FOR_FULL_NRPN | MAP_NRPN_DATA_INCR | MAP_SEND_FULL_NRPN | MAP_REVERSE_DATA_ENTRY;

// One message on every item's channel, and the system messages.
const std::vector<Bytes> kTestMessages = {
    {0x90, 64, 100}, {0x81, 60, 0}, {0xA2, 60, 10}, {0xB3, 7, 99}, {0xC4, 5},     {0xD5, 40},
    {0xE6, 0, 64},   {0xB7, 99, 1}, {0xB7, 98, 2},  {0xB7, 6, 64}, {0xB7, 38, 1}, {0xB8, 101, 0},
    {0xB8, 100, 0},  {0xB8, 6, 12}, {0xB8, 38, 0},  {0xF2, 1, 2},  {0xFA},        {0xFB},
    {0xFC},          {0x99, 1, 2},  {0x9A, 64, 64}, {0x9B, 1, 1},  {0x9C, 1, 1},  {0x9D, 3, 4},
    {0x9E, 5, 6},    {0x9F, 7, 8},
};

std::string throughBothFormats(const std::string& binary) {
    DataMap fromBinary;
    EXPECT_TRUE(readBinaryMapImage(fromBinary,
                                   {reinterpret_cast<const uint8_t*>(binary.data()), binary.size()},
                                   "in.vxm", false, false)
                    .ok);
    std::string text = asciiMapText(fromBinary);
    DataMap fromText;
    MapFileResult read = readAsciiMapText(fromText, text, "in.txm", false, false);
    EXPECT_TRUE(read.ok);
    EXPECT_TRUE(read.problems.empty()) << read.problemText();
    return binaryMapImage(fromText);
}

TEST(MapRoundTrip, EveryKindOfItemSurvivesBinaryToAsciiToBinary) {
    std::string original = binaryMapImage(mapOf(everyKindOfItem(), kAllOptions));
    EXPECT_EQ(throughBothFormats(original), original);

    std::string noPool = binaryMapImage(DataMap{});
    DataMap empty;
    ASSERT_TRUE(readBinaryMapImage(empty,
                                   {reinterpret_cast<const uint8_t*>(noPool.data()), noPool.size()},
                                   "e.vxm", false, false)
                    .ok);
    EXPECT_EQ(throughBothFormats(binaryMapImage(empty)), binaryMapImage(empty));
}

class MapInEngineTest : public ClientApiTest {
protected:
    static constexpr uint16_t kInput = 0;
    static constexpr uint16_t kOutput = 1;

    void SetUp() override {
        ClientApiTest::SetUp();
        openInput(kInput);
        openOutput(kOutput, routeFrom({kInput, CVX_GENERATED_PORT}), 4);
    }

    // What the output sends for each test message (delays waited out) with `map` in use.
    std::vector<Bytes> outputsWith(DataMap& map) {
        map.isOn = 1;
        EXPECT_EQ(SendMap(client, map.record()), 1);
        std::vector<Bytes> outputs;
        for (const Bytes& message : kTestMessages) {
            feed(kInput, message);
            cvxClockAdvance(1100);
            outputs.push_back(take(kOutput));
        }
        return outputs;
    }
};

TEST_F(MapInEngineTest, ARoundTrippedMapDoesWhatTheOriginalDid) {
    DataMap original = mapOf(everyKindOfItem(), kAllOptions);
    std::string image = throughBothFormats(binaryMapImage(original));
    DataMap roundTripped;
    ASSERT_TRUE(readBinaryMapImage(roundTripped,
                                   {reinterpret_cast<const uint8_t*>(image.data()), image.size()},
                                   "rt.vxm", false, false)
                    .ok);
    std::vector<Bytes> before = outputsWith(original);
    std::vector<Bytes> after = outputsWith(roundTripped);
    EXPECT_EQ(after, before);
    // The map did its work: a clone and a controller, a discard, a SysEx string.
    EXPECT_EQ(before[0], (Bytes{0x90, 64, 100, 0xB9, 7, 42}));
    EXPECT_EQ(before[2], Bytes{});
    EXPECT_EQ(before[4], (Bytes{0xF0, 0x7E, 0x7F, 0x04, 0x05, 0xF7}));
}

TEST_F(MapInEngineTest, TheLargestMapTheReadersAcceptFitsTheEngine) {
    Bytes entry(40, 0x11);
    entry.front() = 0xF0;
    entry.back() = 0xF7;
    MapRow idle = {makeItem(15, MAP_NOTE_OFF, {0, 0, 0, 0}, 0xFF, MAP_ANY, kAnyBounds), {}};
    MapRow last = sysexRow(MAP_NOTE_ON, entry);
    size_t sysexLength = MAP_SYSEX_POOL_HEADER + 2 + entry.size();

    std::vector<MapRow> rows(maxMapItems(sysexLength) - 1, idle);
    rows.push_back(last);
    DataMap largest = mapOf(rows);
    ASSERT_TRUE(mapCapacityProblem(DataMap{}, rows, false, "x").empty());
    ASSERT_EQ(largest.sysexLength(), sysexLength);
    largest.isOn = 1;
    ASSERT_EQ(SendMap(client, largest.record()), 1);
    feed(kInput, {0x90, 60, 100});
    cvxClockAdvance(10);
    EXPECT_EQ(take(kOutput), entry);

    // One item more and the engine could not hold the items: the note would pass unmapped.
    rows.insert(rows.begin(), idle);
    EXPECT_FALSE(mapCapacityProblem(DataMap{}, rows, false, "x").empty());
    DataMap tooLarge = mapOf(rows);
    tooLarge.isOn = 1;
    ASSERT_EQ(SendMap(client, tooLarge.record()), 1);
    feed(kInput, {0x90, 60, 100});
    cvxClockAdvance(10);
    EXPECT_EQ(take(kOutput), (Bytes{0x90, 60, 100}));
}

} // namespace
} // namespace corvex::test
