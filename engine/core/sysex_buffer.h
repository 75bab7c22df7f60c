// An engine SysEx buffer: the platform buffer header and its data block, linked into the
// list of one input or output. Allocated zero-filled in one piece, data after the record.
#pragma once

#include "cvx_platform.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>

namespace cvx::core {

struct SysExBuffer {
    MIDIHDR header;
    SysExBuffer* next;
    // An input buffer the application holds (lent with WM_CVX_SYSEXDATA or waiting in the
    // captured queue): closing its input must not free it.
    std::atomic<bool> withApplication;
    // An output buffer queued for the SysEx pump or being sent by it: not free, whatever the
    // platform's flags say while it sends.
    std::atomic<bool> withPump;

    uint8_t* data() { return reinterpret_cast<uint8_t*>(this + 1); }

    // Null when the memory cannot be had.
    static SysExBuffer* make(uint16_t size) {
        void* memory = std::calloc(1, sizeof(SysExBuffer) + size);
        if (memory == nullptr) {
            return nullptr;
        }
        auto* buffer = static_cast<SysExBuffer*>(memory);
        buffer->header.lpData = reinterpret_cast<char*>(buffer->data());
        buffer->header.dwBufferLength = size;
        return buffer;
    }

    static void destroy(SysExBuffer* buffer) { std::free(buffer); }

    static SysExBuffer* of(MIDIHDR* header) { return reinterpret_cast<SysExBuffer*>(header); }
};

} // namespace cvx::core
