// The plain scan skips items by the table's per-type summaries; it must still find exactly
// the items a full scan finds. Random maps in which every item clones and names itself in
// its output, against a full scan written out from the matching rules.
#include "map_harness.h"

#include <gtest/gtest.h>

#include <random>

namespace cvx::mapping {
namespace {

using testing::MapHarness;
using testing::msg;

constexpr uint8_t kSourceTypes[] = {0,        MAP_NOTE_OFF, MAP_NOTE_ON,  MAP_KEY_AFT,
                                    MAP_CTRL, MAP_PROG_CHG, MAP_CHAN_AFT, MAP_PITCH_B,
                                    MAP_NRPN, MAP_SPP,      MAP_START,    MAP_CONT,
                                    MAP_STOP, MAP_RPN,      20,           MAP_ANY};
constexpr uint8_t kChannels[] = {0, 1, 5, 15, 0xFF, 0xFF, 16, 200};
constexpr uint8_t kDeadTargets[] = {0, 16, 200};

// Output of item i: a Note On on channel 0 whose data bytes give i.
uint32_t outputOf(size_t index) {
    return msg(0x90, static_cast<uint8_t>(index % 128), static_cast<uint8_t>(index / 128));
}

uint16_t randomBound(std::mt19937& random) {
    return random() % 3 == 0 ? 0xFFFF : static_cast<uint16_t>(random() % 128);
}

std::vector<MapItem> randomMap(std::mt19937& random) {
    std::vector<MapItem> items(1 + random() % 60);
    for (size_t i = 0; i < items.size(); ++i) {
        MapItem& item = items[i];
        item.sourceMessage = kSourceTypes[random() % std::size(kSourceTypes)];
        item.sourceChannel = kChannels[random() % std::size(kChannels)];
        item.sourceV1Min = randomBound(random);
        item.sourceV1Max = randomBound(random);
        item.sourceV2Min = randomBound(random);
        item.sourceV2Max = randomBound(random);
        item.targetChannel = 0;
        item.targetMessage = random() % 5 == 0 ? kDeadTargets[random() % std::size(kDeadTargets)]
                                               : uint8_t{MAP_NOTE_ON};
        item.targetV1Min = item.targetV1Max = static_cast<uint16_t>(i % 128);
        item.targetV2Min = item.targetV2Max = static_cast<uint16_t>(i / 128);
        item.itemFlags = MAPITEM_CLONE;
    }
    return items;
}

bool inRange(uint16_t min, uint16_t max, uint8_t value) {
    return (min == 0xFFFF || value >= min) && (max == 0xFFFF || value <= max);
}

struct TypeRule {
    uint8_t type; // 0: matches no item
    bool checkV1;
    bool checkV2;
};

TypeRule typeRuleOf(uint8_t status) {
    static constexpr uint8_t kChannelTypes[] = {MAP_NOTE_OFF, MAP_NOTE_ON,  MAP_KEY_AFT, MAP_CTRL,
                                                MAP_PROG_CHG, MAP_CHAN_AFT, MAP_PITCH_B};
    if (status >= 0x80 && status < 0xF0) {
        uint8_t type = kChannelTypes[(status >> 4) - 8];
        return {type, true, type != MAP_PROG_CHG && type != MAP_CHAN_AFT};
    }
    if (status == 0xF2) {
        return {MAP_SPP, true, true};
    }
    if (status >= 0xFA && status <= 0xFC) {
        return {static_cast<uint8_t>(MAP_START + (status - 0xFA)), false, false};
    }
    return {0, false, false};
}

// The matching rule for a plain message, item by item.
bool fullScanMatches(const MapItem& item, uint8_t status, uint8_t data1, uint8_t data2) {
    TypeRule rule = typeRuleOf(status);
    bool channelChecked = status < 0xF0;
    bool producible =
        (item.targetMessage >= 1 && item.targetMessage <= 15) || item.targetMessage == MAP_ANY;
    return rule.type != 0 && (item.sourceMessage == rule.type || item.sourceMessage == MAP_ANY) &&
           producible &&
           (!channelChecked || item.sourceChannel == 0xFF ||
            item.sourceChannel == (status & 0x0F)) &&
           (!rule.checkV1 || inRange(item.sourceV1Min, item.sourceV1Max, data1)) &&
           (!rule.checkV2 || inRange(item.sourceV2Min, item.sourceV2Max, data2));
}

// Controllers that may belong to an NRPN/RPN sequence take another branch.
bool isParameterController(uint8_t status, uint8_t controller) {
    return (status & 0xF0) == 0xB0 &&
           (controller == 6 || controller == 38 || (controller >= 96 && controller <= 101));
}

TEST(MapScanBounds, FindsEveryItemAFullScanFinds) {
    std::mt19937 random(20261209);
    for (int round = 0; round < 300; ++round) {
        MapHarness h;
        std::vector<MapItem> items = randomMap(random);
        h.load(items);
        for (unsigned status = 0x80; status <= 0xFF; ++status) {
            for (uint8_t data1 : {0, 1, 64, 127}) {
                auto s = static_cast<uint8_t>(status);
                if (isParameterController(s, data1)) {
                    continue;
                }
                uint8_t data2 = static_cast<uint8_t>(random() % 128);
                std::vector<uint32_t> expected;
                for (size_t i = 0; i < items.size(); ++i) {
                    if (fullScanMatches(items[i], s, data1, data2)) {
                        expected.push_back(outputOf(i));
                    }
                }
                uint32_t message = msg(s, data1, data2);
                if (s == 0xF0 || s == 0xF7) {
                    message = s; // never mapped, not a short message
                }
                expected.push_back(message);
                ASSERT_EQ(h.messages(message), expected)
                    << "round " << round << ", message " << std::hex << message;
            }
        }
    }
}

} // namespace
} // namespace cvx::mapping
