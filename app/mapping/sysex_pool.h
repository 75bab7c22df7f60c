// Reading entries of a SysEx pool image: "SYX", 0x00, then entries back to back, each a
// little-endian u16 byte count followed by that many bytes. Every lookup stays inside the
// image it is given, whatever the offset and counts say. Pure functions: any thread.
#pragma once

#include "cvx_records.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace corvex {

inline constexpr uint8_t kSysExPoolMagic[MAP_SYSEX_POOL_HEADER] = {'S', 'Y', 'X', 0};

struct PoolEntry {
    enum class Fault {
        None,         // `bytes` is the entry (empty for offset 0 or a count of 0)
        InsideHeader, // the offset lies in the pool's 4-byte header
        PastEnd,      // the offset or the count lies past the end of the image
        RunsPastEnd,  // the count runs past the end of the image
        TooLong,      // longer than MAP_SYSEX_STRING_MAX
    };
    std::span<const uint8_t> bytes;
    Fault fault = Fault::None;
};

PoolEntry poolEntryAt(std::span<const uint8_t> image, uint16_t offset);

// What is wrong with an entry, for messages: "lies inside the pool's header", ...
const char* describePoolFault(PoolEntry::Fault fault);

} // namespace corvex
