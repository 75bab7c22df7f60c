#include "mapping/item_transform.h"

#include "mapping/midi_values.h"
#include "mapping/scaling.h"

namespace cvx::mapping {

namespace {

// The two values a transform reads and the source ranges they are scaled from.
struct TransformInputs {
    int32_t v1;
    ValueRange range1;
    int32_t v2;
    ValueRange range2;
};

TransformInputs inputsOf(const MapItem& item, int32_t source1, int32_t source2) {
    ValueRange sourceRange1{item.sourceV1Min, item.sourceV1Max};
    ValueRange sourceRange2{item.sourceV2Min, item.sourceV2Max};
    bool pull2 = item.itemFlags & MAPITEM_PULL_V2;
    bool pull1 = item.itemFlags & MAPITEM_PULL_V1;
    return {pull2 ? source2 : source1, pull2 ? sourceRange2 : sourceRange1,
            pull1 ? source1 : source2, pull1 ? sourceRange1 : sourceRange2};
}

ValueRange targetRange1(const MapItem& item) {
    return {item.targetV1Min, item.targetV1Max};
}

ValueRange targetRange2(const MapItem& item) {
    return {item.targetV2Min, item.targetV2Max};
}

bool isOpen(ValueRange range) {
    return range.min == kOpenBound || range.max == kOpenBound;
}

// Status of a target type 1-7 or 11-14 on `channel`.
uint8_t statusOf(uint8_t targetType, uint8_t channel) {
    switch (targetType) {
    case MAP_SPP:
        return 0xF2;
    case MAP_START:
        return 0xFA;
    case MAP_CONT:
        return 0xFB;
    case MAP_STOP:
        return 0xFC;
    default:
        return static_cast<uint8_t>(0x80 + (targetType - MAP_NOTE_OFF) * 0x10 + channel);
    }
}

uint8_t plainStatus(const MapItem& item, uint8_t inputStatus) {
    uint8_t channel = targetChannel(item, inputStatus & 0x0F);
    if (item.targetMessage != MAP_ANY) {
        return statusOf(item.targetMessage, channel);
    }
    if (inputStatus >= 0xF0) {
        return inputStatus;
    }
    return static_cast<uint8_t>((inputStatus & 0xF0) | channel);
}

uint32_t shortMessage(uint8_t status, int32_t data1, int32_t data2, uint32_t originMark) {
    return status | uint32_t(data1 & kMax7Bit) << 8 | uint32_t(data2 & kMax7Bit) << 16 |
           (originMark & 0xFF000000u);
}

} // namespace

uint8_t targetChannel(const MapItem& item, uint8_t inputChannel) {
    uint8_t channel = item.targetChannel == 0xFF ? inputChannel : item.targetChannel;
    return channel & 0x0F;
}

uint32_t transformPlain(const MapItem& item, uint32_t message) {
    auto status = static_cast<uint8_t>(message);
    TransformInputs in = inputsOf(item, (message >> 8) & 0xFF, (message >> 16) & 0xFF);
    int32_t data1 = scaleValue(in.v1, in.range1, targetRange1(item), kMax7Bit);
    int32_t data2 = scaleValue(in.v2, in.range2, targetRange2(item), kMax7Bit);
    return shortMessage(plainStatus(item, status), data1, data2, message);
}

ParameterValue plainToParameter(const MapItem& item, uint32_t message) {
    TransformInputs in = inputsOf(item, (message >> 8) & 0xFF, (message >> 16) & 0xFF);
    return {scaleValue(in.v1, in.range1, targetRange1(item), kMax7Bit),
            scaleValue(in.v2, in.range2, targetRange2(item), kMax7Bit)};
}

ParameterValue parameterToParameter(const MapItem& item, int32_t parameter, int32_t value) {
    TransformInputs in = inputsOf(item, parameter, value);
    return {scaleValue(in.v1, in.range1, targetRange1(item), kMax14Bit),
            scaleValue(in.v2, in.range2, targetRange2(item), kMax14Bit)};
}

uint32_t parameterToMessage(const MapItem& item, uint8_t channel, int32_t parameter, int32_t value,
                            uint32_t originMark) {
    TransformInputs in = inputsOf(item, parameter, value);
    ValueRange target1 = targetRange1(item);
    ValueRange target2 = targetRange2(item);
    int32_t data1 = isOpen(target1) ? 0 : scaleValue(in.v1, in.range1, target1, kMax14Bit);
    int32_t data2 = isOpen(target2) ? 0 : scaleValue(in.v2, in.range2, target2, kMax14Bit);
    return shortMessage(statusOf(item.targetMessage, targetChannel(item, channel)), data1, data2,
                        originMark);
}

} // namespace cvx::mapping
