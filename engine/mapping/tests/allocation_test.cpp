// Counts heap allocations made while map steps run. The replaced global operator new counts
// only while a CountingScope is open; the map path must make none.
#include "map_harness.h"
#include "mapping/message_filter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

void* countedAllocation(std::size_t size) {
    if (counting.load(std::memory_order_relaxed)) {
        allocations.fetch_add(1, std::memory_order_relaxed);
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}

} // namespace

void* operator new(std::size_t size) {
    return countedAllocation(size);
}
void* operator new[](std::size_t size) {
    return countedAllocation(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (counting.load(std::memory_order_relaxed)) {
        allocations.fetch_add(1, std::memory_order_relaxed);
    }
    return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

namespace cvx::mapping {
namespace {

using testing::cc;
using testing::noteOn;
using testing::openItem;
using testing::PoolBuilder;

TEST(MapPathAllocation, StepsAndFilterNeverAllocate) {
    PoolBuilder pool;
    MapItem sysex = openItem(MAP_PROG_CHG, MAP_SYSEX);
    sysex.sysexOffset = pool.add({0xF0, 0x41, 0xFA, 0xFB, 0xFC, 0xF7});
    MapItem clone = openItem(MAP_NOTE_ON, MAP_NOTE_ON);
    clone.targetChannel = 4;
    clone.itemFlags = MAPITEM_CLONE | (10u << MAPITEM_DELAY_SHIFT);
    MapItem toNrpn = openItem(MAP_NOTE_ON, MAP_NRPN);
    MapItem fromNrpn = openItem(MAP_NRPN, MAP_CTRL);
    fromNrpn.sourceV1Min = fromNrpn.sourceV1Max = 0x0105;
    testing::MapHarness h;
    h.load({sysex, clone, toNrpn, fromNrpn}, MAP_SEND_FULL_NRPN, pool.bytes());

    MapView view = viewOf(h.copy());
    SysExSink sink{[](void*, const uint8_t*, uint16_t, uint8_t) {}, nullptr};
    CFilter filter{};
    filter.filterFlags = CVX_FILTER_CONTROL_CHANGE;
    const uint32_t inputs[] = {noteOn(0, 60, 100), cc(0, 99, 2),      cc(0, 98, 5),
                               cc(0, 6, 1),        cc(0, 99, 9),      cc(0, 98, 9),
                               cc(0, 6, 1),        0xC3u | 5u << 8,   cc(0, 101, 127),
                               cc(0, 100, 127),    0xE0u | 64u << 16, 0xF8u};
    long delivered = 0;
    bool filtered = false;

    counting = true;
    for (int round = 0; round < 100; ++round) {
        for (uint32_t message : inputs) {
            EVENT source{};
            source.message = message;
            filtered ^= isFiltered(message, filter);
            runMapLoop(source, &view, h.nrpn(), sink,
                       [&delivered](const EVENT&, uint32_t) { ++delivered; });
        }
    }
    counting = false;

    EXPECT_EQ(allocations.load(), 0);
    EXPECT_GT(delivered, 0);
}

} // namespace
} // namespace cvx::mapping
