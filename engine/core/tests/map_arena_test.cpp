#include "core/map_arena.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using cvx::core::MapArena;

TEST(MapArena, StartsAsOneFreeBlockAndRoundsRequests) {
    auto arena = std::make_unique<MapArena>();
    EXPECT_EQ(arena->freeBlockCount(), 1u);
    EXPECT_EQ(arena->largestFreeBlock(), MapArena::kSize - MapArena::kHeaderSize);
    auto* a = static_cast<uint8_t*>(arena->allocate(21, true));
    auto* b = static_cast<uint8_t*>(arena->allocate(1, true));
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    // 21 bytes round to 24 plus the header; the next block follows directly.
    EXPECT_EQ(b - a, 24 + 16);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(a) % 4, 0u);
}

TEST(MapArena, ZeroFillsOnlyWhenAsked) {
    auto arena = std::make_unique<MapArena>();
    auto* a = static_cast<uint8_t*>(arena->allocate(64, false));
    std::memset(a, 0xAB, 64);
    ASSERT_TRUE(arena->release(a));
    auto* again = static_cast<uint8_t*>(arena->allocate(64, true));
    ASSERT_EQ(again, a);
    for (int i = 0; i < 64; ++i) {
        EXPECT_EQ(again[i], 0) << i;
    }
}

TEST(MapArena, FreeingMergesWithFollowingFreeBlocks) {
    auto arena = std::make_unique<MapArena>();
    void* a = arena->allocate(100, false);
    void* b = arena->allocate(100, false);
    void* c = arena->allocate(100, false);
    ASSERT_TRUE(c);
    ASSERT_TRUE(arena->release(b));
    EXPECT_EQ(arena->freeBlockCount(), 2u); // b and the tail
    ASSERT_TRUE(arena->release(a));         // a absorbs b
    EXPECT_EQ(arena->freeBlockCount(), 2u);
    // a and b together now hold a request that neither could alone.
    void* big = arena->allocate(200 + 16, false);
    EXPECT_EQ(big, a);
    ASSERT_TRUE(arena->release(c)); // c absorbs the tail
    EXPECT_EQ(arena->freeBlockCount(), 1u);
}

TEST(MapArena, RefusesForeignStaleAndDoubleFrees) {
    auto arena = std::make_unique<MapArena>();
    int local = 0;
    EXPECT_FALSE(arena->release(&local));
    EXPECT_FALSE(arena->release(nullptr));
    auto* a = static_cast<uint8_t*>(arena->allocate(40, false));
    auto* b = static_cast<uint8_t*>(arena->allocate(40, false));
    EXPECT_FALSE(arena->release(a + 4)); // inside a block, no header there
    ASSERT_TRUE(arena->release(b));
    EXPECT_FALSE(arena->release(b)); // double free
    ASSERT_TRUE(arena->release(a));  // a absorbs b: b's header is gone
    EXPECT_FALSE(arena->release(b));
    EXPECT_EQ(arena->freeBlockCount(), 1u);
}

TEST(MapArena, ExhaustionFailsAndMergingRecoversFragmentedSpace) {
    auto arena = std::make_unique<MapArena>();
    EXPECT_EQ(arena->allocate(MapArena::kSize, false), nullptr);
    std::vector<void*> blocks;
    while (void* p = arena->allocate(1000, false)) {
        blocks.push_back(p);
    }
    EXPECT_EQ(blocks.size(), 64u); // 64 blocks of 1016 bytes fill 65,024 bytes
    EXPECT_EQ(arena->allocate(1000, false), nullptr);
    // A release merges only with the blocks that follow it: freeing the even blocks first
    // leaves each of them separate from its odd predecessor, so only the arena-wide merge
    // can satisfy a request for the whole arena.
    for (size_t i = blocks.size(); i-- > 0;) {
        if (i % 2 == 0) {
            ASSERT_TRUE(arena->release(blocks[i]));
        }
    }
    for (size_t i = 1; i < blocks.size(); i += 2) {
        ASSERT_TRUE(arena->release(blocks[i]));
    }
    void* whole = arena->allocate(MapArena::kSize - MapArena::kHeaderSize, false);
    EXPECT_NE(whole, nullptr);
}

TEST(MapArena, SmallRequestsAreNotSplit) {
    auto arena = std::make_unique<MapArena>();
    void* big = arena->allocate(200, false);
    void* fence = arena->allocate(8, false);
    ASSERT_TRUE(arena->release(big));
    size_t before = arena->freeBlockCount();
    void* small = arena->allocate(8, false); // takes the 216-byte block whole
    EXPECT_EQ(small, big);
    EXPECT_EQ(arena->freeBlockCount(), before - 1);
    (void)fence;
}

} // namespace
