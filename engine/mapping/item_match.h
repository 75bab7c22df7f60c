// Whether a map item matches a message.
//
// Everything here is inline: the plain scan tests every item from the resume index on for
// every message, so the test must compile into the scan loop.
#pragma once

#include "cvx_records.h"
#include "mapping/scaling.h"

#include <array>
#include <cstdint>

namespace cvx::mapping {

// Target types an item can produce: the message types 1-15 and "the input's type" (255).
// Items with any other target type match nothing.
constexpr bool isProducibleTarget(uint8_t targetMessage) {
    return (targetMessage >= MAP_NOTE_OFF && targetMessage <= MAP_RPN) || targetMessage == MAP_ANY;
}

constexpr bool channelMatches(const MapItem& item, uint8_t channel) {
    return item.sourceChannel == 0xFF || item.sourceChannel == channel;
}

// Song position and the transport messages match items of any channel.
constexpr bool typeChecksChannel(uint8_t type) {
    return type >= MAP_NOTE_OFF && type <= MAP_PITCH_B;
}

// The message types a plain (non-NRPN/RPN) message can have: 1-7 and 11-14.
constexpr bool isPlainType(uint8_t type) {
    return typeChecksChannel(type) || (type >= MAP_SPP && type <= MAP_STOP);
}

// What items a plain message matches, worked out once per message.
struct PlainKey {
    uint8_t type; // the MapMessageType of the status; 0: the status matches no item
    bool checkChannel;
    bool checkV1;
    bool checkV2;
    uint8_t channel;
    uint8_t data1;
    uint8_t data2;
};

namespace detail {

struct StatusRule {
    uint8_t type;
    bool checkV1;
    bool checkV2;
};

// The rule of every status byte, a table rather than a chain of tests: data bytes and
// statuses without a message type have type 0.
constexpr std::array<StatusRule, 256> kStatusRules = [] {
    std::array<StatusRule, 256> rules{};
    for (unsigned channel = 0; channel < 16; ++channel) {
        rules[0x80 | channel] = {MAP_NOTE_OFF, true, true};
        rules[0x90 | channel] = {MAP_NOTE_ON, true, true};
        rules[0xA0 | channel] = {MAP_KEY_AFT, true, true};
        rules[0xB0 | channel] = {MAP_CTRL, true, true};
        rules[0xC0 | channel] = {MAP_PROG_CHG, true, false};
        rules[0xD0 | channel] = {MAP_CHAN_AFT, true, false};
        rules[0xE0 | channel] = {MAP_PITCH_B, true, true};
    }
    rules[0xF2] = {MAP_SPP, true, true};
    rules[0xFA] = {MAP_START, false, false};
    rules[0xFB] = {MAP_CONT, false, false};
    rules[0xFC] = {MAP_STOP, false, false};
    return rules;
}();

} // namespace detail

inline PlainKey plainKeyOf(uint32_t message) {
    auto status = static_cast<uint8_t>(message);
    detail::StatusRule rule = detail::kStatusRules[status];
    return {rule.type,
            typeChecksChannel(rule.type),
            rule.checkV1,
            rule.checkV2,
            static_cast<uint8_t>(status & 0x0F),
            static_cast<uint8_t>(message >> 8),
            static_cast<uint8_t>(message >> 16)};
}

inline bool plainItemMatches(const MapItem& item, const PlainKey& key) {
    return (item.sourceMessage == key.type || item.sourceMessage == MAP_ANY) && key.type != 0 &&
           (!key.checkChannel || channelMatches(item, key.channel)) &&
           isProducibleTarget(item.targetMessage) &&
           (!key.checkV1 || rangeContains({item.sourceV1Min, item.sourceV1Max}, key.data1)) &&
           (!key.checkV2 || rangeContains({item.sourceV2Min, item.sourceV2Max}, key.data2));
}

// An assembled NRPN (source type 8) or RPN (15) parameter p with value v on `channel`.
inline bool parameterItemMatches(const MapItem& item, uint8_t sourceType, uint8_t channel,
                                 int32_t parameter, int32_t value) {
    return item.sourceMessage == sourceType && channelMatches(item, channel) &&
           isProducibleTarget(item.targetMessage) &&
           rangeContains({item.sourceV1Min, item.sourceV1Max}, parameter) &&
           rangeContains({item.sourceV2Min, item.sourceV2Max}, value);
}

} // namespace cvx::mapping
