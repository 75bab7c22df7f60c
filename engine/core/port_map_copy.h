// The engine's copy of one output's CPortMap. The application replaces it while the input
// and timer threads route with it, so every word is an atomic: a routing decision reads one
// mask word and sees either the old or the new mask, never half of each.
#pragma once

#include "cvx_records.h"

#include <atomic>
#include <cstdint>

namespace cvx::core {

class PortMapCopy {
public:
    // The engine routes by the masks alone; the connected bitmap is the application's.
    void store(const CPortMap& map) {
        for (uint32_t i = 0; i < CVX_PORT_COUNT; ++i) {
            inputMasks_[i].store(map.inputMasks[i], std::memory_order_release);
        }
    }

    // The route mask of input `input`; 0 (nothing passes) outside the table.
    uint32_t mask(uint32_t input) const {
        return input < CVX_PORT_COUNT ? inputMasks_[input].load(std::memory_order_acquire) : 0;
    }

private:
    std::atomic<uint32_t> inputMasks_[CVX_PORT_COUNT] = {};
};

// The engine's copy of the patch-map record, read by the input callback without locking.
class PatchMapCopy {
public:
    void store(const PatchMapInfo& info) {
        flags_.store(0); // off while the entries change
        channelMask_.store(info.channelMask);
        for (int p = 0; p < 128; ++p) {
            entries_[p].store(info.entries[p]);
        }
        flags_.store(info.flags);
    }

    // Whether a program change `status`/`program` is taken by the patch map.
    bool intercepts(uint8_t status, uint8_t program) const {
        uint16_t flags = flags_.load();
        return (flags & CVX_PATCHMAP_ON) != 0 &&
               (channelMask_.load() & (1u << (status & 0x0F))) != 0 &&
               entries_[program & 0x7F].load() != 0;
    }

    bool passesOn() const { return (flags_.load() & CVX_PATCHMAP_PASS_ON) != 0; }

private:
    std::atomic<uint16_t> flags_{0};
    std::atomic<uint16_t> channelMask_{0};
    std::atomic<uint8_t> entries_[128] = {};
};

} // namespace cvx::core
