// The capture buffer: pages made usable as data arrives, reset, and a full range.
#include "sysex/sysex_receive_buffer.h"

#include <gtest/gtest.h>

#include <cstring>

namespace corvex {
namespace {

size_t fill(uint8_t* destination, size_t capacity, size_t count, uint8_t value) {
    size_t n = std::min(capacity, count);
    std::memset(destination, value, n);
    return n;
}

TEST(SysExReceiveBuffer, GrowsPageByPageAndResets) {
    SysExReceiveBuffer buffer;
    ASSERT_TRUE(buffer.valid());
    EXPECT_EQ(buffer.maximumPages(), kSysExReceiveRange / buffer.pageSize());
    EXPECT_EQ(buffer.committedPages(), 1u);
    size_t page = buffer.pageSize();
    size_t announced = page * 2 + 10;
    EXPECT_EQ(
        buffer.read(announced, [&](uint8_t* d, size_t c) { return fill(d, c, announced, 7); }),
        announced);
    EXPECT_EQ(buffer.committedPages(), 3u);
    EXPECT_EQ(buffer.usedBytes(), announced);
    EXPECT_EQ(buffer.bytes()[announced - 1], 7);
    buffer.reset();
    EXPECT_EQ(buffer.committedPages(), 1u);
    EXPECT_EQ(buffer.usedBytes(), 0u);
}

TEST(SysExReceiveBuffer, AFullRangeKeepsWhatWasRead) {
    SysExReceiveBuffer probe;
    size_t page = probe.pageSize();
    SysExReceiveBuffer buffer(page * 2);
    EXPECT_EQ(buffer.read(page, [&](uint8_t* d, size_t c) { return fill(d, c, page, 1); }), page);
    EXPECT_EQ(buffer.read(page, [&](uint8_t* d, size_t c) { return fill(d, c, page, 2); }), page);
    bool called = false;
    EXPECT_EQ(buffer.read(1, [&](uint8_t*, size_t) { return called = true, size_t{1}; }), 0u);
    EXPECT_FALSE(called);
    EXPECT_TRUE(buffer.full());
    EXPECT_EQ(buffer.usedBytes(), page * 2);
    EXPECT_EQ(buffer.bytes()[0], 1);
    EXPECT_EQ(buffer.bytes()[page * 2 - 1], 2);
}

} // namespace
} // namespace corvex
