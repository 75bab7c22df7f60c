// Builds Standard MIDI File bytes by hand for the reader's tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace corvex::smf::test {

using Bytes = std::vector<uint8_t>;

inline Bytes varLen(uint32_t value) {
    Bytes out{static_cast<uint8_t>(value & 0x7F)};
    while (value >>= 7) {
        out.insert(out.begin(), static_cast<uint8_t>(0x80 | (value & 0x7F)));
    }
    return out;
}

inline void append(Bytes& to, const Bytes& more) {
    to.insert(to.end(), more.begin(), more.end());
}

inline Bytes be32(uint32_t value) {
    return {static_cast<uint8_t>(value >> 24), static_cast<uint8_t>(value >> 16),
            static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
}

inline Bytes chunk(const std::string& id, const Bytes& body, uint32_t declaredLength) {
    Bytes out(id.begin(), id.end());
    append(out, be32(declaredLength));
    append(out, body);
    return out;
}

inline Bytes chunk(const std::string& id, const Bytes& body) {
    return chunk(id, body, static_cast<uint32_t>(body.size()));
}

inline Bytes header(uint16_t format, uint16_t tracks, uint16_t division) {
    return chunk("MThd", {static_cast<uint8_t>(format >> 8), static_cast<uint8_t>(format),
                          static_cast<uint8_t>(tracks >> 8), static_cast<uint8_t>(tracks),
                          static_cast<uint8_t>(division >> 8), static_cast<uint8_t>(division)});
}

// An event: delta time, then the bytes as they stand.
inline Bytes event(uint32_t delta, std::initializer_list<uint8_t> bytes) {
    Bytes out = varLen(delta);
    out.insert(out.end(), bytes);
    return out;
}

inline Bytes endOfTrack(uint32_t delta = 0) {
    return event(delta, {0xFF, 0x2F, 0x00});
}

inline Bytes tempo(uint32_t delta, uint32_t microsecondsPerQuarter) {
    return event(delta, {0xFF, 0x51, 0x03, static_cast<uint8_t>(microsecondsPerQuarter >> 16),
                         static_cast<uint8_t>(microsecondsPerQuarter >> 8),
                         static_cast<uint8_t>(microsecondsPerQuarter)});
}

inline Bytes track(std::initializer_list<Bytes> events) {
    Bytes body;
    for (const Bytes& e : events) {
        append(body, e);
    }
    return chunk("MTrk", body);
}

inline Bytes file(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) {
        append(out, p);
    }
    return out;
}

} // namespace corvex::smf::test
