// The 64 KB map-storage arena of one client: a first-fit allocator over one fixed block that
// holds the global data map's items and SysEx strings and every per-route map record.
//
// Every block starts with a 16-byte header (size, free-list link, the signature "+SAL",
// state). Free blocks sit on four lists by size class (up to 128, 1024, 16384 bytes, larger),
// each sorted by size. Freeing merges a block with the free blocks that follow it; when no
// block fits, all adjacent free blocks of the arena are merged and the request tried once
// more. A pointer that is not a live block of this arena is refused, never written through.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace cvx::core {

class MapArena {
public:
    static constexpr size_t kSize = 65536;
    static constexpr size_t kHeaderSize = 16;

    MapArena();

    // A block of at least `bytes` bytes, zero-filled when asked; nullptr when none fits.
    void* allocate(size_t bytes, bool zeroFill);
    // Returns the block to the arena; false (and nothing changed) for a pointer that is not
    // a live block of this arena.
    bool release(void* block);

    // Observers for diagnostics and tests.
    size_t freeBlockCount() const;
    size_t largestFreeBlock() const; // usable bytes of the largest free block
    bool owns(const void* p) const;

private:
    static constexpr size_t kClasses = 4;
    static constexpr uint32_t kNone = 0xFFFFFFFFu;

    struct Header;

    Header* at(uint32_t offset);
    const Header* at(uint32_t offset) const;
    static size_t classOf(uint32_t size);
    void insertFree(uint32_t offset);
    void unlinkFree(uint32_t offset);
    uint32_t findFit(uint32_t need) const;
    void absorbFollowing(uint32_t offset);
    void mergeAll();
    void* take(uint32_t offset, uint32_t need, size_t bytes, bool zeroFill);

    alignas(16) std::array<uint8_t, kSize> storage_{};
    std::array<uint32_t, kClasses> freeLists_{};
};

} // namespace cvx::core
