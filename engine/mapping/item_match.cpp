#include "mapping/item_match.h"

#include "mapping/scaling.h"

namespace cvx::mapping {

namespace {

struct StatusRule {
    uint8_t type;
    RangeCheck ranges;
    bool checkChannel;
};

StatusRule ruleFor(uint8_t status) {
    switch (status & 0xF0) {
    case 0x80:
        return {MAP_NOTE_OFF, RangeCheck::Both, true};
    case 0x90:
        return {MAP_NOTE_ON, RangeCheck::Both, true};
    case 0xA0:
        return {MAP_KEY_AFT, RangeCheck::Both, true};
    case 0xB0:
        return {MAP_CTRL, RangeCheck::Both, true};
    case 0xC0:
        return {MAP_PROG_CHG, RangeCheck::FirstOnly, true};
    case 0xD0:
        return {MAP_CHAN_AFT, RangeCheck::FirstOnly, true};
    case 0xE0:
        return {MAP_PITCH_B, RangeCheck::Both, true};
    default:
        break;
    }
    switch (status) {
    case 0xF2:
        return {MAP_SPP, RangeCheck::Both, false};
    case 0xFA:
        return {MAP_START, RangeCheck::None, false};
    case 0xFB:
        return {MAP_CONT, RangeCheck::None, false};
    case 0xFC:
        return {MAP_STOP, RangeCheck::None, false};
    default:
        return {0, RangeCheck::NoMatch, false};
    }
}

bool rangesContain(const MapItem& item, RangeCheck check, int32_t v1, int32_t v2) {
    switch (check) {
    case RangeCheck::Both:
        return rangeContains({item.sourceV1Min, item.sourceV1Max}, v1) &&
               rangeContains({item.sourceV2Min, item.sourceV2Max}, v2);
    case RangeCheck::FirstOnly:
        return rangeContains({item.sourceV1Min, item.sourceV1Max}, v1);
    case RangeCheck::None:
        return true;
    default:
        return false;
    }
}

} // namespace

PlainKey plainKeyOf(uint32_t message) {
    auto status = static_cast<uint8_t>(message);
    StatusRule rule = ruleFor(status);
    return {rule.type,
            rule.ranges,
            rule.checkChannel,
            static_cast<uint8_t>(status & 0x0F),
            static_cast<uint8_t>(message >> 8),
            static_cast<uint8_t>(message >> 16)};
}

bool plainItemMatches(const MapItem& item, const PlainKey& key) {
    if (item.sourceMessage != key.type && item.sourceMessage != MAP_ANY) {
        return false;
    }
    if (key.ranges == RangeCheck::NoMatch || !isProducibleTarget(item.targetMessage)) {
        return false;
    }
    if (key.checkChannel && !channelMatches(item, key.channel)) {
        return false;
    }
    return rangesContain(item, key.ranges, key.data1, key.data2);
}

bool parameterItemMatches(const MapItem& item, uint8_t sourceType, uint8_t channel,
                          int32_t parameter, int32_t value) {
    return item.sourceMessage == sourceType && channelMatches(item, channel) &&
           isProducibleTarget(item.targetMessage) &&
           rangeContains({item.sourceV1Min, item.sourceV1Max}, parameter) &&
           rangeContains({item.sourceV2Min, item.sourceV2Max}, value);
}

} // namespace cvx::mapping
