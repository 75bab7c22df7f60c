// Where the map step sends the SysEx strings its items produce: the engine's SysEx output
// path, as coming from the triggering event's input port. Called on the real-time threads
// with a buffer that is valid only during the call; it must not block or allocate.
#pragma once

#include <cstdint>

namespace cvx::mapping {

struct SysExSink {
    void (*send)(void* context, const uint8_t* bytes, uint16_t length, uint8_t sourcePort);
    void* context;
};

} // namespace cvx::mapping
