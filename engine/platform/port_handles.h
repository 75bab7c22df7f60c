// What input and output ports share: handle encoding, port states, and the record of which
// port callbacks the current thread is inside.
//
// A handle value is (generation << 32) | (slot + 1). A slot's generation is even while the
// slot is free and odd while a handle of it is open; it is bumped on open and on close, so
// a closed handle (or one never made) never matches a live slot. Port objects are never
// freed, so looking a handle up never touches freed memory.
#pragma once

#include <cstdint>

namespace cvx::platform {

enum class PortState : uint8_t { Free, Opening, Open, Closing };

inline uint64_t encodeHandle(uint32_t slot, uint32_t generation) {
    return (uint64_t{generation} << 32) | (uint64_t{slot} + 1);
}

// False for values that cannot be handles of a table of `slots` entries.
inline bool decodeHandle(uint64_t value, uint32_t slots, uint32_t& slot, uint32_t& generation) {
    uint32_t low = static_cast<uint32_t>(value);
    generation = static_cast<uint32_t>(value >> 32);
    if (low == 0 || low > slots || (generation & 1u) == 0) {
        return false;
    }
    slot = low - 1;
    return true;
}

// While alive, records that this thread is inside a callback of `port`.
class CallbackScope {
public:
    explicit CallbackScope(const void* port);
    ~CallbackScope();
    CallbackScope(const CallbackScope&) = delete;
    CallbackScope& operator=(const CallbackScope&) = delete;

    // How many callbacks of `port` the calling thread is inside.
    static int depth(const void* port);

private:
    bool recorded_;
};

} // namespace cvx::platform
