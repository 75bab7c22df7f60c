// A ring of equal slots that SysEx blocks are cut into for display: the 18-byte display ring
// (3000 slots) and the 256-byte Dock and script rings (16 slots). There is no full check:
// the next slot wraps to 0 after the last, overwriting the oldest piece.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>

namespace cvx::core {

template <uint32_t SlotSize, uint32_t SlotCount> class SysExChunkRing {
public:
    static constexpr uint32_t kSlotSize = SlotSize;
    static constexpr uint32_t kSlotCount = SlotCount;

    // The slot the next piece goes into; the caller holds the engine lock.
    uint32_t reserveSlot() {
        uint32_t slot = next_;
        next_ = (next_ + 1) % SlotCount;
        return slot;
    }

    // Copies a piece of at most SlotSize bytes into its slot, zero-padded.
    void fill(uint32_t slot, const uint8_t* piece, uint32_t length) {
        uint8_t* dest = slots_[slot].data();
        std::memcpy(dest, piece, length);
        std::memset(dest + length, 0, SlotSize - length);
    }

    // Null for a slot index outside the ring.
    const uint8_t* slot(uint32_t index) const {
        return index < SlotCount ? slots_[index].data() : nullptr;
    }

private:
    std::array<std::array<uint8_t, SlotSize>, SlotCount> slots_{};
    uint32_t next_ = 0;
};

using DisplayChunkRing = SysExChunkRing<18, 3000>;
using ScriptChunkRing = SysExChunkRing<256, 16>;

} // namespace cvx::core
