// Entries of a map's SysEx pool and the placeholders inside them.
//
// The pool is "SYX\0" followed by entries back to back, each a little-endian u16 byte count
// and that many bytes. Between 0xF0 and the next 0xF7 the bytes 0xFA, 0xFB and 0xFC stand for
// data 1, data 2 and the channel of the message that triggers the string.
#pragma once

#include "core/map_state.h"

#include <cstdint>

namespace cvx::mapping {

struct SysExString {
    const uint8_t* bytes; // nullptr: no such entry
    uint16_t length;
};

// The entry at `offset` of the block. An offset inside the header, an entry whose count or
// bytes run past the block, an empty entry and one longer than MAP_SYSEX_STRING_MAX all
// read as no entry.
SysExString poolEntry(const SysExBlock* block, uint16_t offset);

// Replaces the placeholders of `bytes` in place. The values are kept to 7 bits so that a
// substituted byte can never end or interrupt the message.
void substitutePlaceholders(uint8_t* bytes, uint16_t length, uint8_t data1, uint8_t data2,
                            uint8_t channel);

} // namespace cvx::mapping
