#include "mapping/item_match.h"

#include "mapping/scaling.h"

namespace cvx::mapping {

namespace {

enum class RangeCheck : uint8_t { Both, FirstOnly, None, NoMatch };

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

bool plainItemMatches(const MapItem& item, uint8_t status, uint8_t data1, uint8_t data2) {
    StatusRule rule = ruleFor(status);
    if (rule.ranges == RangeCheck::NoMatch || !isProducibleTarget(item.targetMessage)) {
        return false;
    }
    if (item.sourceMessage != rule.type && item.sourceMessage != MAP_ANY) {
        return false;
    }
    if (rule.checkChannel && !channelMatches(item, status & 0x0F)) {
        return false;
    }
    return rangesContain(item, rule.ranges, data1, data2);
}

bool parameterItemMatches(const MapItem& item, uint8_t sourceType, uint8_t channel,
                          int32_t parameter, int32_t value) {
    return item.sourceMessage == sourceType && channelMatches(item, channel) &&
           isProducibleTarget(item.targetMessage) &&
           rangeContains({item.sourceV1Min, item.sourceV1Max}, parameter) &&
           rangeContains({item.sourceV2Min, item.sourceV2Max}, value);
}

} // namespace cvx::mapping
