#include "support/allocation_counter.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <malloc.h>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace cvx::test {
namespace {

// Where the allocations of a case go, so the compiler cannot drop an allocation and its
// release as unused.
void* volatile kept = nullptr;

class AllocationCounter : public testing::Test {
protected:
    void SetUp() override {
        if (!allocationCountingAvailable()) {
            GTEST_SKIP() << "sanitizer build: the sanitizer owns the allocator, so nothing is "
                            "counted (the counter works in the normal build)";
        }
    }

    // Allocations counted while `allocate` runs in a window; `release` runs after it.
    template <typename Allocate>
    static uint64_t countOf(Allocate allocate, void (*release)(void*) = std::free) {
        uint64_t count = 0;
        {
            AllocationWindow window;
            kept = allocate();
            count = window.count();
        }
        release(kept);
        return count;
    }
};

TEST_F(AllocationCounter, EveryWayOfAllocatingCountsExactlyOnce) {
    EXPECT_EQ(countOf([] { return std::malloc(24); }), 1u);
    EXPECT_EQ(countOf([] { return std::calloc(4, 8); }), 1u);
    EXPECT_EQ(countOf([] { return aligned_alloc(64, 128); }), 1u);
    EXPECT_EQ(countOf([] { return memalign(64, 128); }), 1u);
    EXPECT_EQ(countOf([] {
                  void* pointer = nullptr;
                  EXPECT_EQ(posix_memalign(&pointer, 64, 128), 0);
                  return pointer;
              }),
              1u);
    EXPECT_EQ(countOf([] { return strdup("allocated inside the C library"); }), 1u);
    void* grown = std::malloc(8);
    EXPECT_EQ(countOf([&] { return std::realloc(grown, 4096); }), 1u);

    const auto deleteInt = [](void* p) { delete static_cast<int*>(p); };
    EXPECT_EQ(countOf([] { return static_cast<void*>(new int(7)); }, deleteInt), 1u);
    const auto deleteArray = [](void* p) { delete[] static_cast<char*>(p); };
    EXPECT_EQ(countOf([] { return static_cast<void*>(new char[100]); }, deleteArray), 1u);
    struct alignas(128) Wide {
        char bytes[128];
    };
    const auto deleteWide = [](void* p) { delete static_cast<Wide*>(p); };
    EXPECT_EQ(countOf([] { return static_cast<void*>(new Wide{}); }, deleteWide), 1u);
    const auto deleteString = [](void* p) { delete static_cast<std::string*>(p); };
    EXPECT_EQ(countOf([] { return static_cast<void*>(new std::string(100, 'x')); }, deleteString),
              2u);
}

TEST_F(AllocationCounter, ReleasingAndRefusedRequestsDoNotCount) {
    void* block = std::malloc(32);
    void* aligned = nullptr;
    uint64_t count = 0;
    {
        AllocationWindow window;
        std::free(block);
        errno = 0;
        kept = aligned_alloc(3, 64);                        // not a power of two
        EXPECT_EQ(posix_memalign(&aligned, 2, 64), EINVAL); // below the size of a pointer
        count = window.count();
    }
    EXPECT_EQ(kept, nullptr);
    EXPECT_EQ(errno, EINVAL);
    EXPECT_EQ(count, 0u);
}

TEST_F(AllocationCounter, OnlyNonExemptThreadsCountAndOnlyWhileAWindowIsOpen) {
    kept = std::malloc(16); // no window open
    std::free(kept);
    AllocationWindow window;
    EXPECT_EQ(window.count(), 0u);
    {
        ExemptThread exempt;
        std::vector<int> mine(1000);
        kept = mine.data();
    }
    EXPECT_EQ(window.count(), 0u);
    {
        ExemptThread exempt; // starting and joining the thread are the test's own work
        std::thread other([] {
            kept = std::malloc(16);
            std::free(kept);
        });
        other.join();
    }
    EXPECT_EQ(window.count(), 1u);
}

} // namespace
} // namespace cvx::test
