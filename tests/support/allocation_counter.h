// Counts the process's heap allocations, for the tests that prove a path never allocates.
//
// Linking this library replaces malloc, calloc, realloc, aligned_alloc, posix_memalign,
// memalign, valloc and pvalloc for the whole process; each forwards to the C library's own
// allocator. operator new and the rest of the C++ library allocate through malloc, so every
// allocation is counted exactly once, whichever way it was made.
//
// An allocation counts while an AllocationWindow is open, on any thread that is not exempt
// (ExemptThread): the engine's real-time threads cannot be marked from outside, so the test
// exempts its own thread while it drives the engine and counts everything else.
//
// With CVX_ALLOC_TRACE=1 in the environment, the first counted allocations of a window
// print a backtrace on standard error (run the test under `gdb` or with `addr2line` for
// names of static functions).
//
// Sanitizer builds own the allocator themselves: there the library replaces nothing,
// allocationCountingAvailable() is false and tests skip.
//
// Threads: windows open and close on one thread, one window at a time; count() and
// ExemptThread from any thread.
#pragma once

#include <cstdint>

namespace cvx::test {

bool allocationCountingAvailable();

class AllocationWindow {
public:
    AllocationWindow();
    ~AllocationWindow();
    AllocationWindow(const AllocationWindow&) = delete;
    AllocationWindow& operator=(const AllocationWindow&) = delete;

    // Allocations counted since the window opened.
    uint64_t count() const;
};

// While it lives, the calling thread's allocations do not count.
class ExemptThread {
public:
    ExemptThread();
    ~ExemptThread();
    ExemptThread(const ExemptThread&) = delete;
    ExemptThread& operator=(const ExemptThread&) = delete;

private:
    bool wasExempt_;
};

} // namespace cvx::test
