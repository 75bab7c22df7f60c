// Whether a map item matches a message.
#pragma once

#include "cvx_records.h"

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

enum class RangeCheck : uint8_t { Both, FirstOnly, None, NoMatch };

// What items a plain (non-NRPN/RPN) message matches, worked out once per message.
struct PlainKey {
    uint8_t type; // the MapMessageType of the status
    RangeCheck ranges;
    bool checkChannel; // transport and song position match items of any channel
    uint8_t channel;
    uint8_t data1;
    uint8_t data2;
};

PlainKey plainKeyOf(uint32_t message);

bool plainItemMatches(const MapItem& item, const PlainKey& key);

// An assembled NRPN (source type 8) or RPN (15) parameter p with value v on `channel`.
bool parameterItemMatches(const MapItem& item, uint8_t sourceType, uint8_t channel,
                          int32_t parameter, int32_t value);

} // namespace cvx::mapping
