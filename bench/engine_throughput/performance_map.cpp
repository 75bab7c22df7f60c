#include "performance_map.h"

namespace cvx::bench {

namespace {

MapItem item(uint8_t sourceType, uint8_t targetType) {
    MapItem i{};
    i.sourceChannel = 0xFF;
    i.sourceMessage = sourceType;
    i.sourceV1Min = i.sourceV1Max = i.sourceV2Min = i.sourceV2Max = 0xFFFF;
    i.targetChannel = 0xFF;
    i.targetMessage = targetType;
    i.targetV1Min = i.targetV1Max = i.targetV2Min = i.targetV2Max = 0xFFFF;
    return i;
}

MapItem onChannel(MapItem i, uint8_t channel) {
    i.sourceChannel = channel;
    return i;
}

MapItem withSource1(MapItem i, uint16_t min, uint16_t max) {
    i.sourceV1Min = min;
    i.sourceV1Max = max;
    return i;
}

MapItem withTarget1(MapItem i, uint16_t min, uint16_t max) {
    i.targetV1Min = min;
    i.targetV1Max = max;
    return i;
}

MapItem withTarget2(MapItem i, uint16_t min, uint16_t max) {
    i.sourceV2Min = 0;
    i.sourceV2Max = 127;
    i.targetV2Min = min;
    i.targetV2Max = max;
    return i;
}

constexpr uint16_t kTriggerOffset = MAP_SYSEX_POOL_HEADER;

std::vector<MapItem> performanceItems() {
    std::vector<MapItem> items;
    for (uint8_t channel = 8; channel < 16; ++channel) { // unused channels go elsewhere
        MapItem moved = onChannel(item(MAP_ANY, MAP_ANY), channel);
        moved.targetChannel = 0;
        items.push_back(moved);
    }
    MapItem lowSplit = withSource1(item(MAP_NOTE_ON, MAP_NOTE_ON), 0, 59);
    lowSplit.targetChannel = 1;
    lowSplit.itemFlags = MAPITEM_CLONE;
    items.push_back(onChannel(lowSplit, 0));
    items.push_back(onChannel(withTarget2(item(MAP_NOTE_ON, MAP_NOTE_ON), 40, 127), 0));
    items.push_back(onChannel(withSource1(item(MAP_NOTE_OFF, MAP_NOTE_OFF), 0, 59), 0));
    for (uint8_t controller : {1, 2, 4, 11, 64, 67, 71, 74}) {
        MapItem renumber = withSource1(item(MAP_CTRL, MAP_CTRL), controller, controller);
        auto target = static_cast<uint16_t>(controller + 20);
        items.push_back(withTarget1(renumber, target, target));
    }
    items.push_back(withTarget2(withSource1(item(MAP_CTRL, MAP_CTRL), 7, 7), 127, 0));
    items.push_back(withTarget2(item(MAP_CHAN_AFT, MAP_CTRL), 0, 100));
    MapItem toNrpn = withSource1(item(MAP_CTRL, MAP_NRPN), 16, 16);
    items.push_back(withTarget1(withTarget2(toNrpn, 0, 0x3FFF), 0x0105, 0x0105));
    MapItem fromNrpn = withSource1(item(MAP_NRPN, MAP_CTRL), 0x0200, 0x02FF);
    items.push_back(withTarget1(fromNrpn, 30, 30));
    items.push_back(item(MAP_START, MAP_CONT));
    items.push_back(item(MAP_STOP, MAP_DISCARD));
    items.push_back(item(MAP_KEY_AFT, MAP_DISCARD));
    MapItem trigger = withSource1(item(MAP_PROG_CHG, MAP_SYSEX), 100, 127);
    trigger.sysexOffset = kTriggerOffset;
    items.push_back(trigger);
    items.push_back(withTarget1(item(MAP_PITCH_B, MAP_PITCH_B), 0, 0));
    while (items.size() < 32) {
        items.push_back(onChannel(item(MAP_NOTE_ON, MAP_DISCARD), 7)); // filler
    }
    return items;
}

} // namespace

PerformanceMap::PerformanceMap()
    : items(performanceItems()),
      // One 6-byte string F0 43 <data 1> <data 2> <channel> F7 at offset 4.
      pool{'S', 'Y', 'X', 0, 6, 0, 0xF0, 0x43, 0xFA, 0xFB, 0xFC, 0xF7} {}

SMapper PerformanceMap::mapper() {
    SMapper map{};
    map.mapIsOn = 1;
    map.itemCount = static_cast<int16_t>(items.size());
    map.items = items.data();
    map.sysexLength = static_cast<uint16_t>(pool.size());
    map.sysexPool = pool.data();
    return map;
}

std::vector<uint32_t> performanceMix() {
    std::vector<uint32_t> mix;
    for (int i = 0; i < 8; ++i) {
        auto note = static_cast<uint8_t>(36 + i * 7);
        mix.push_back(shortMessage(0x90, note, static_cast<uint8_t>(60 + i)));
        mix.push_back(shortMessage(0x80, note, 0));
        mix.push_back(
            shortMessage(0xB0, static_cast<uint8_t>(i % 2 ? 1 : 7), static_cast<uint8_t>(i * 9)));
        mix.push_back(shortMessage(0xE0, 0, static_cast<uint8_t>(64 + i)));
        mix.push_back(0xF8);
    }
    mix.push_back(shortMessage(0xD0, 50, 0));
    mix.push_back(shortMessage(0xC0, 110, 0));
    mix.push_back(shortMessage(0x93, 60, 100));
    mix.push_back(shortMessage(0xB0, 99, 2));
    mix.push_back(shortMessage(0xB0, 98, 10));
    mix.push_back(shortMessage(0xB0, 6, 64));
    mix.push_back(shortMessage(0xB0, 16, 100));
    return mix;
}

CFilter performanceFilter() {
    CFilter filter{};
    filter.filterFlags = (1u << 9) | CVX_FILTER_CONTROL_CHANGE | CVX_FILTER_KEY_AFTERTOUCH;
    filter.systemFilter = CVX_SYSFILTER_F8 | CVX_SYSFILTER_FE;
    filter.controllerFilter[0] = 0x80; // controller 7
    return filter;
}

void appendWireBytes(uint32_t message, std::vector<uint8_t>& bytes) {
    auto status = static_cast<uint8_t>(message);
    bytes.push_back(status);
    int dataBytes = 0;
    if (status < 0xF0) {
        dataBytes = (status & 0xE0) == 0xC0 ? 1 : 2; // program change, channel pressure: 1
    } else if (status == 0xF2) {
        dataBytes = 2;
    } else if (status == 0xF1 || status == 0xF3) {
        dataBytes = 1;
    }
    for (int i = 1; i <= dataBytes; ++i) {
        bytes.push_back(static_cast<uint8_t>(message >> (8 * i)));
    }
}

} // namespace cvx::bench
