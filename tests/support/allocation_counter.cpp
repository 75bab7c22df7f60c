#include "support/allocation_counter.h"

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define CVX_ALLOCATOR_OWNED_BY_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) ||                         \
    __has_feature(memory_sanitizer)
#define CVX_ALLOCATOR_OWNED_BY_SANITIZER 1
#endif
#endif

#ifndef CVX_ALLOCATOR_OWNED_BY_SANITIZER
#include <execinfo.h>
#include <unistd.h>
#endif

namespace cvx::test {
namespace {

std::atomic<bool> windowOpen{false};
std::atomic<uint64_t> counted{0};
std::atomic<int> tracesLeft{0};
constexpr int kTracesPerWindow = 8;

// Plain thread-locals of the executable: reading them never allocates.
thread_local bool exempt = false;

#ifndef CVX_ALLOCATOR_OWNED_BY_SANITIZER
constexpr int kTraceDepth = 32;
thread_local bool inCounter = false; // the counter's own work (a backtrace) is not counted

void printTrace() {
    void* frames[kTraceDepth];
    const int depth = backtrace(frames, kTraceDepth);
    static constexpr char kHeader[] = "---- allocation counted here:\n";
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, kHeader, sizeof kHeader - 1);
    backtrace_symbols_fd(frames, depth, STDERR_FILENO);
}

// backtrace() loads its unwinder at the first call, which allocates: done when a window
// opens, not in the middle of one.
void prepareTraces() {
    inCounter = true;
    void* frame = nullptr;
    backtrace(&frame, 1);
    inCounter = false;
}

void noteAllocation() {
    if (!windowOpen.load(std::memory_order_relaxed) || exempt || inCounter) {
        return;
    }
    counted.fetch_add(1, std::memory_order_relaxed);
    if (tracesLeft.load(std::memory_order_relaxed) > 0 &&
        tracesLeft.fetch_sub(1, std::memory_order_relaxed) > 0) {
        inCounter = true;
        printTrace();
        inCounter = false;
    }
}
#endif

} // namespace

bool allocationCountingAvailable() {
#ifdef CVX_ALLOCATOR_OWNED_BY_SANITIZER
    return false;
#else
    return true;
#endif
}

AllocationWindow::AllocationWindow() {
    const char* trace = std::getenv("CVX_ALLOC_TRACE");
    const bool tracing = trace != nullptr && *trace != '\0' && *trace != '0';
#ifndef CVX_ALLOCATOR_OWNED_BY_SANITIZER
    if (tracing) {
        prepareTraces();
    }
#endif
    tracesLeft.store(tracing ? kTracesPerWindow : 0);
    counted.store(0);
    windowOpen.store(true);
}

AllocationWindow::~AllocationWindow() {
    windowOpen.store(false);
}

uint64_t AllocationWindow::count() const {
    return counted.load(std::memory_order_relaxed);
}

ExemptThread::ExemptThread() : wasExempt_(exempt) {
    exempt = true;
}

ExemptThread::~ExemptThread() {
    exempt = wasExempt_;
}

} // namespace cvx::test

#ifndef CVX_ALLOCATOR_OWNED_BY_SANITIZER

// The C library's allocator under its own names, which replacing malloc leaves in place.
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* pointer, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void* __libc_valloc(size_t size);
void* __libc_pvalloc(size_t size);
void __libc_free(void* pointer);
}

namespace {

bool validAlignment(size_t alignment) {
    return alignment != 0 && (alignment & (alignment - 1)) == 0;
}

} // namespace

extern "C" {

void* malloc(size_t size) noexcept {
    cvx::test::noteAllocation();
    return __libc_malloc(size);
}

void* calloc(size_t count, size_t size) noexcept {
    cvx::test::noteAllocation();
    return __libc_calloc(count, size);
}

void* realloc(void* pointer, size_t size) noexcept {
    cvx::test::noteAllocation();
    return __libc_realloc(pointer, size);
}

void free(void* pointer) noexcept {
    __libc_free(pointer);
}

void* memalign(size_t alignment, size_t size) noexcept {
    cvx::test::noteAllocation();
    return __libc_memalign(alignment, size);
}

void* aligned_alloc(size_t alignment, size_t size) noexcept {
    if (!validAlignment(alignment)) {
        errno = EINVAL;
        return nullptr;
    }
    cvx::test::noteAllocation();
    return __libc_memalign(alignment, size);
}

int posix_memalign(void** result, size_t alignment, size_t size) noexcept {
    if (!validAlignment(alignment) || alignment % sizeof(void*) != 0) {
        return EINVAL;
    }
    cvx::test::noteAllocation();
    void* pointer = __libc_memalign(alignment, size);
    if (pointer == nullptr) {
        return ENOMEM;
    }
    *result = pointer;
    return 0;
}

void* valloc(size_t size) noexcept {
    cvx::test::noteAllocation();
    return __libc_valloc(size);
}

void* pvalloc(size_t size) noexcept {
    cvx::test::noteAllocation();
    return __libc_pvalloc(size);
}

} // extern "C"

#endif
