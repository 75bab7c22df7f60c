// The real-time paths do not allocate: input parsing and delivery, filtering, mapping,
// routing, monitor queues, notifications and the delayed-event pump. This executable counts
// every operator new of the process while messages flow.
#include "datapath_fixture.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long> allocations{0};
// The test's own calls into the tap (feeding and settling) may allocate; they stand for the
// cable and the test, not for the engine.
thread_local bool exempt = false;

struct Exempt {
    Exempt() { exempt = true; }
    ~Exempt() { exempt = false; }
};

} // namespace

[[gnu::noinline]] void* countedAllocation(std::size_t size) {
    if (!exempt) {
        allocations.fetch_add(1, std::memory_order_relaxed);
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}

[[gnu::noinline]] void releaseAllocation(void* p) {
    std::free(p);
}

void* operator new(std::size_t size) {
    return countedAllocation(size);
}
void operator delete(void* p) noexcept {
    releaseAllocation(p);
}
void operator delete(void* p, std::size_t) noexcept {
    releaseAllocation(p);
}

namespace {

using cvx::test::Bytes;
using cvx::test::DataPathTest;
using cvx::test::RecordingWindow;
using cvx::test::routeFrom;

TEST_F(DataPathTest, MessagesFlowWithoutAllocating) {
    RecordingWindow raw;
    ASSERT_EQ(m32AttachRawMonitor(handle, raw.handle()), 1);
    openInput(0, 4, 256);
    openOutput(2, routeFrom({0}), 4, 256);
    MapItem item = cvx::test::openItem(MAP_CTRL, MAP_ANY);
    item.sourceV1Min = item.sourceV1Max = 1;
    item.itemFlags = 10 << MAPITEM_DELAY_SHIFT;
    SMapper map{};
    map.mapIsOn = 1;
    map.itemCount = 1;
    map.items = &item;
    ASSERT_EQ(m32SendMap(handle, map), 1);
    Bytes burst;
    for (int i = 0; i < 300; ++i) {
        burst.insert(burst.end(), {0x90, 60, 100, 0xB0, 1, 64, 0xF8, 0x80, 60, 0});
    }
    burst.insert(burst.end(), {0xF0, 0x01, 0x02, 0xF7});
    feed(0, burst); // warm-up: threads and lazily made parts exist now
    cvxClockAdvance(20);
    take(2);
    readAll(MON_MAIN);
    readAll(MON_RAW_INPUT);

    long before = allocations.load();
    {
        Exempt tap;
        ASSERT_EQ(vmidiFeed(0, burst.data(), static_cast<unsigned>(burst.size())), 1);
        vmidiSettle();
    }
    cvxClockAdvance(20); // the pump and the raw-monitor notice run here
    EXPECT_EQ(allocations.load() - before, 0);
    EXPECT_EQ(take(2).size(), burst.size());
}

} // namespace
