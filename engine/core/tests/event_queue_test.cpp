#include "core/buffer_queue.h"
#include "core/chunk_ring.h"
#include "core/event_queue.h"
#include "core/sysex_chunks.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using namespace cvx::core;

EVENT numbered(uint32_t n) {
    EVENT e{};
    e.timestamp = n;
    e.message = 0x90 | (n << 8);
    return e;
}

TEST(EventQueue, KeepsOrderAndDropsTheNewestWhenFull) {
    auto queue = std::make_unique<EventQueue>();
    for (uint32_t i = 0; i < EventQueue::kCapacity; ++i) {
        ASSERT_TRUE(queue->enqueue(numbered(i)));
    }
    EXPECT_FALSE(queue->enqueue(numbered(9999)));
    EXPECT_EQ(queue->size(), 2400u);
    EVENT out{};
    for (uint32_t i = 0; i < EventQueue::kCapacity; ++i) {
        ASSERT_TRUE(queue->dequeue(out));
        EXPECT_EQ(out.timestamp, i);
    }
    EXPECT_FALSE(queue->dequeue(out));
}

TEST(EventQueue, WrapsAroundItsStorage) {
    auto queue = std::make_unique<EventQueue>();
    EVENT out{};
    for (uint32_t round = 0; round < 3; ++round) {
        for (uint32_t i = 0; i < 2000; ++i) {
            ASSERT_TRUE(queue->enqueue(numbered(round * 2000 + i)));
        }
        for (uint32_t i = 0; i < 2000; ++i) {
            ASSERT_TRUE(queue->dequeue(out));
            ASSERT_EQ(out.timestamp, round * 2000 + i);
        }
    }
}

TEST(ChunkRing, CutsABlockIntoZeroPaddedPiecesWithChunkEvents) {
    auto queue = std::make_unique<EventQueue>();
    auto ring = std::make_unique<DisplayChunkRing>();
    std::vector<uint8_t> block(40);
    for (size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<uint8_t>(i + 1);
    }
    queueSysExChunks(*queue, *ring, block.data(), 40);
    ASSERT_EQ(queue->size(), 3u); // 18 + 18 + 4
    EVENT e{};
    uint32_t lengths[3] = {18, 18, 4};
    for (uint32_t piece = 0; piece < 3; ++piece) {
        ASSERT_TRUE(queue->dequeue(e));
        EXPECT_EQ(e.timestamp, piece);
        EXPECT_EQ(e.message, (lengths[piece] << 8) | 0xFB000000u);
    }
    const uint8_t* last = ring->slot(2);
    EXPECT_EQ(last[0], 37);
    EXPECT_EQ(last[3], 40);
    EXPECT_EQ(last[4], 0);
    EXPECT_EQ(last[17], 0);
    EXPECT_EQ(ring->slot(3000), nullptr);
}

TEST(ChunkRing, ALongBlockOverwritesTheOldestSlots) {
    auto queue = std::make_unique<EventQueue>();
    auto ring = std::make_unique<ScriptChunkRing>();
    std::vector<uint8_t> block(4200);
    for (size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<uint8_t>(i / 256); // each piece carries its number
    }
    queueSysExChunks(*queue, *ring, block.data(), 4200);
    ASSERT_EQ(queue->size(), 17u);
    // The 17th piece (number 16, 104 bytes) went into slot 0 over the first.
    EXPECT_EQ(ring->slot(0)[0], 16);
    EXPECT_EQ(ring->slot(0)[103], 16);
    EXPECT_EQ(ring->slot(0)[104], 0);
    EXPECT_EQ(ring->slot(1)[0], 1);
    EVENT e{};
    for (int i = 0; i < 17; ++i) {
        ASSERT_TRUE(queue->dequeue(e));
    }
    EXPECT_EQ(e.timestamp, 0u);
    EXPECT_EQ(e.message >> 8 & 0xFFFF, 104u);
}

TEST(BufferQueue, HoldsAtMost1024EntriesAndRemovesSelectively) {
    auto queue = std::make_unique<BufferQueue>();
    std::vector<MIDIHDR> headers(BufferQueue::kCapacity + 1);
    for (uint32_t i = 0; i < BufferQueue::kCapacity; ++i) {
        ASSERT_TRUE(queue->push(&headers[i], i));
    }
    EXPECT_FALSE(queue->push(&headers[BufferQueue::kCapacity], 0));
    queue->removeIf([&](const BufferQueue::Entry& e) { return e.due % 2 == 1; });
    EXPECT_EQ(queue->size(), 512u);
    for (uint32_t i = 0; i < 512; ++i) {
        ASSERT_NE(queue->front(), nullptr);
        EXPECT_EQ(queue->front()->due, 2 * i);
        queue->pop();
    }
    EXPECT_EQ(queue->front(), nullptr);
}

} // namespace
