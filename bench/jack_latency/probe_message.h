// The benchmark's probe message: a Note On whose note and velocity carry the message's
// number, so the receiver matches every arrival to its departure even when messages
// overtake nothing but arrive in bunches. The number's low 7 bits are the note, the rest
// plus one the velocity (never 0, which would make it a Note Off): numbers 0 to 16,255.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace cvx::bench {

constexpr size_t kProbeNumbers = 127 * 128;

// The three bytes of probe k (k < kProbeNumbers) on MIDI channel 1.
inline void encodeProbe(size_t k, uint8_t* bytes) {
    bytes[0] = 0x90;
    bytes[1] = static_cast<uint8_t>(k & 0x7F);
    bytes[2] = static_cast<uint8_t>((k >> 7) + 1);
}

// The number a Note On on any channel carries; nothing for other messages.
inline std::optional<size_t> decodeProbe(uint8_t status, uint8_t data1, uint8_t data2) {
    if ((status & 0xF0) != 0x90 || data1 > 0x7F || data2 == 0 || data2 > 0x7F) {
        return std::nullopt;
    }
    return size_t{data1} | size_t{static_cast<uint8_t>(data2 - 1)} << 7;
}

} // namespace cvx::bench
