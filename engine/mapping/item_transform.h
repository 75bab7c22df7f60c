// What a matched map item makes of a message: a rewritten short message, or the parameter
// and value of an NRPN/RPN sequence to send.
//
// Pull flags: with MAPITEM_PULL_V2 target value 1 is taken from source value 2 (and scaled
// from the source V2 range); with MAPITEM_PULL_V1 target value 2 is taken from source value 1.
#pragma once

#include "cvx_records.h"

#include <cstdint>

namespace cvx::mapping {

struct ParameterValue {
    int32_t parameter;
    int32_t value;
};

// The output channel: the item's, or the input's for 255 (kept to 4 bits).
uint8_t targetChannel(const MapItem& item, uint8_t inputChannel);

// Rewrites a plain message (target types 1-7, 11-14, 255). Data bytes are kept to 7 bits;
// the origin mark in bits 24-31 is preserved. "The input's type" keeps a system status as it
// is and a channel status's kind with the target channel.
uint32_t transformPlain(const MapItem& item, uint32_t message);

// The NRPN/RPN parameter and value a plain message produces (target types 8 and 15).
ParameterValue plainToParameter(const MapItem& item, uint32_t message);

// The parameter and value an assembled NRPN/RPN event produces (target types 8, 15, 255).
ParameterValue parameterToParameter(const MapItem& item, int32_t parameter, int32_t value);

// The short message an assembled NRPN/RPN event produces (target types 1-7, 11-14) on input
// channel `channel`; an open target range gives 0.
uint32_t parameterToMessage(const MapItem& item, uint8_t channel, int32_t parameter, int32_t value,
                            uint32_t originMark);

} // namespace cvx::mapping
