#include "traffic_model.h"

namespace cvx::stress {
namespace {

constexpr uint32_t kSysExBit = 0x10000;
constexpr uint32_t kRealtimeBit = 0x20000;

uint32_t channelBits(int input) {
    return 0x1Fu << firstChannelOf(input);
}

int dataLength(uint8_t status) {
    switch (status & 0xF0) {
    case 0xC0:
    case 0xD0:
        return 1;
    default:
        return 2;
    }
}

Bytes sysexOf(uint32_t sequence) {
    // Mostly short dumps; every tenth a long one, up to 64 KB.
    const size_t length =
        sequence % 10 == 0 ? 2 + (sequence * 7919u) % 65535u : 2 + (sequence * 131u) % 510u;
    Bytes bytes(length);
    bytes.front() = 0xF0;
    for (size_t i = 1; i + 1 < length; ++i) {
        bytes[i] = static_cast<uint8_t>((sequence + i) & 0x7F);
    }
    bytes.back() = 0xF7;
    return bytes;
}

} // namespace

uint32_t routeMask(int output, int input) {
    switch (output) {
    case 4: // everything of input 0
        return input == 0 ? channelBits(0) | kRealtimeBit : 0;
    case 5: // input 0's first three channels, all of input 1 (through a route map)
        return input == 0 ? 0x7u | kRealtimeBit : input == 1 ? channelBits(1) | kRealtimeBit : 0;
    case 6: // input 2 with its SysEx
        return input == 2 ? channelBits(2) | kSysExBit | kRealtimeBit : 0;
    case 7: // two channels of input 1, and the churn cable
        return input == 1 ? 0x60u : input == kChurnInput ? channelBits(2) : 0;
    default:
        return 0;
    }
}

Bytes messageOf(int input, uint32_t sequence) {
    if (input == 2 && sequence % 500 == 499) {
        return sysexOf(sequence);
    }
    const auto channel = static_cast<uint8_t>(firstChannelOf(input) + sequence % 5);
    const auto low = static_cast<uint8_t>(sequence & 0x7F);
    const auto high = static_cast<uint8_t>(1 + (sequence >> 7) % 127);
    switch (sequence % 20) {
    case 3:
        return {static_cast<uint8_t>(0xB0 | channel), 20, low}; // the global map: CC 20 -> 21
    case 7:
        return {0xF8};
    case 11:
        return {static_cast<uint8_t>(0x90 | kFilteredChannel), low, high};
    case 13:
        return {static_cast<uint8_t>(0xC0 | channel), low};
    default:
        return {static_cast<uint8_t>(0x90 | channel), low, high};
    }
}

Bytes deliveredAt(int output, int input, const Bytes& message) {
    const uint32_t mask = routeMask(output, input);
    const uint8_t status = message.front();
    if (status == 0xF0) {
        return (mask & kSysExBit) != 0 ? message : Bytes{};
    }
    if (status >= 0xF8) {
        return (mask & kRealtimeBit) != 0 ? message : Bytes{};
    }
    if ((status & 0x0F) == kFilteredChannel || (mask & (1u << (status & 0x0F))) == 0) {
        return {};
    }
    Bytes result = message;
    if ((status & 0xF0) == 0xB0 && result[1] == 20) {
        result[1] = 21;
    }
    if (output == 5 && input == 1 && (status & 0xF0) == 0x90) {
        result[0] = static_cast<uint8_t>(0xA0 | (status & 0x0F)); // the route map
    }
    return result;
}

bool splitMessages(const Bytes& stream, std::vector<Bytes>& messages, size_t& realtimeCount) {
    size_t i = 0;
    while (i < stream.size()) {
        const uint8_t status = stream[i];
        if (status >= 0xF8) {
            ++realtimeCount;
            ++i;
            continue;
        }
        if (status == 0xF0) {
            size_t end = i + 1;
            while (end < stream.size() && stream[end] < 0x80) {
                ++end;
            }
            if (end == stream.size() || stream[end] != 0xF7) {
                return false;
            }
            messages.emplace_back(stream.begin() + static_cast<std::ptrdiff_t>(i),
                                  stream.begin() + static_cast<std::ptrdiff_t>(end + 1));
            i = end + 1;
            continue;
        }
        if (status < 0x80 || status > 0xEF) {
            return false;
        }
        const size_t length = 1 + static_cast<size_t>(dataLength(status));
        if (i + length > stream.size()) {
            return false;
        }
        for (size_t d = 1; d < length; ++d) {
            if (stream[i + d] >= 0x80) {
                return false;
            }
        }
        messages.emplace_back(stream.begin() + static_cast<std::ptrdiff_t>(i),
                              stream.begin() + static_cast<std::ptrdiff_t>(i + length));
        i += length;
    }
    return true;
}

} // namespace cvx::stress
