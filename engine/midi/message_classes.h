// How the engine classifies a short message: the status class recorded for a port's last
// event, the status bits recorded for what an output sent, and which route-mask bit lets a
// message through.
#pragma once

#include "cvx_records.h"

#include <cstdint>
#include <cstring>

namespace cvx::midi {

inline constexpr uint32_t kClassDataByte = 0x800000;
inline constexpr uint32_t kClassSystemCommon = 0x10000;
inline constexpr uint32_t kClassRealtime = 0x20000;
inline constexpr uint32_t kClassSysEx = 0x40000;

inline uint8_t statusOf(uint32_t message) {
    return static_cast<uint8_t>(message);
}

inline bool isChannelStatus(uint8_t status) {
    return status >= 0x80 && status <= 0xEF;
}

inline uint32_t channelBit(uint8_t status) {
    return 1u << (status & 0x0F);
}

// The status class of an input's last event.
inline uint32_t inputStatusClass(uint8_t status) {
    if (status < 0x80) {
        return kClassDataByte;
    }
    if (isChannelStatus(status)) {
        return channelBit(status);
    }
    return status <= 0xF6 ? kClassSystemCommon : kClassRealtime;
}

// The status bit an output records for a short message it sent.
inline uint32_t outputStatusBit(uint8_t status) {
    if (isChannelStatus(status)) {
        return channelBit(status);
    }
    return status >= 0xF8 ? kClassRealtime : kClassSystemCommon;
}

// Whether a route mask passes a complete message with this status, by the mask bit of its
// kind. Data bytes, 0xF0 and 0xF7 pass no mask as short messages.
inline bool maskPasses(uint32_t mask, uint8_t status) {
    if (isChannelStatus(status)) {
        return (mask & channelBit(status)) != 0;
    }
    if (status >= 0xF1 && status <= 0xF6) {
        return (mask & CVX_ROUTE_SYSTEM_COMMON) != 0;
    }
    if (status >= 0xF8) {
        return (mask & CVX_ROUTE_REALTIME) != 0;
    }
    return false;
}

// A full-frame time-code message: F0 7F 7F 01 01 hr mn sc fr F7.
inline bool isFullFrameTimeCode(const uint8_t* data, uint32_t length) {
    static constexpr uint8_t kHead[5] = {0xF0, 0x7F, 0x7F, 0x01, 0x01};
    return length >= 10 && std::memcmp(data, kHead, sizeof kHead) == 0;
}

} // namespace cvx::midi
