#include "mapping/sysex_pool.h"

namespace cvx::mapping {

SysExString poolEntry(const SysExBlock* block, uint16_t offset) {
    constexpr SysExString kNone{nullptr, 0};
    if (block == nullptr || offset < MAP_SYSEX_POOL_HEADER) {
        return kNone;
    }
    uint32_t size = block->length;
    const uint8_t* pool = bytesOf(block);
    if (uint32_t{offset} + 2 > size) {
        return kNone;
    }
    auto length = static_cast<uint16_t>(pool[offset] | pool[offset + 1] << 8);
    if (length == 0 || length > MAP_SYSEX_STRING_MAX || uint32_t{offset} + 2 + length > size) {
        return kNone;
    }
    return SysExString{pool + offset + 2, length};
}

void substitutePlaceholders(uint8_t* bytes, uint16_t length, uint8_t data1, uint8_t data2,
                            uint8_t channel) {
    bool inMessage = false;
    for (uint16_t i = 0; i < length; ++i) {
        uint8_t& b = bytes[i];
        if (b == 0xF0) {
            inMessage = true;
        } else if (b == 0xF7) {
            inMessage = false;
        } else if (inMessage && b == 0xFA) {
            b = data1 & 0x7F;
        } else if (inMessage && b == 0xFB) {
            b = data2 & 0x7F;
        } else if (inMessage && b == 0xFC) {
            b = channel & 0x0F;
        }
    }
}

} // namespace cvx::mapping
