#include "cvx_platform.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

struct Recorder {
    std::atomic<int> count{0};
    // Atomic: several threads post at once in the destroy test.
    std::atomic<uint32_t> lastMsg{0};
    std::atomic<uintptr_t> lastW{0};
    std::atomic<intptr_t> lastL{0};
};

void record(void* user, uint32_t msg, uintptr_t w, intptr_t l) {
    auto* r = static_cast<Recorder*>(user);
    r->lastMsg.store(msg);
    r->lastW.store(w);
    r->lastL.store(l);
    r->count.fetch_add(1);
}

TEST(WindowTarget, PostReachesTheTargetWithItsArguments) {
    Recorder r;
    HWND w = cvxWindowCreate(record, &r);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(cvxPostMessage(w, 0x8014, 7, -3), 1);
    EXPECT_EQ(r.count.load(), 1);
    EXPECT_EQ(r.lastMsg.load(), 0x8014u);
    EXPECT_EQ(r.lastW.load(), 7u);
    EXPECT_EQ(r.lastL.load(), -3);
    cvxWindowDestroy(w);
}

TEST(WindowTarget, NullForgedAndDestroyedTargetsRefusePosts) {
    Recorder r;
    EXPECT_EQ(cvxPostMessage(nullptr, 1, 0, 0), 0);
    EXPECT_EQ(cvxPostMessage(reinterpret_cast<HWND>(uintptr_t{0xDEADBEEF}), 1, 0, 0), 0);
    HWND w = cvxWindowCreate(record, &r);
    cvxWindowDestroy(w);
    EXPECT_EQ(cvxPostMessage(w, 1, 0, 0), 0);
    cvxWindowDestroy(w); // a second destroy is harmless
    HWND reused = cvxWindowCreate(record, &r);
    EXPECT_NE(reused, w); // a reused slot gets a new handle; the old one stays dead
    EXPECT_EQ(cvxPostMessage(w, 1, 0, 0), 0);
    EXPECT_EQ(cvxPostMessage(reused, 1, 0, 0), 1);
    EXPECT_EQ(r.count.load(), 1);
    cvxWindowDestroy(reused);
    EXPECT_EQ(cvxWindowCreate(nullptr, &r), nullptr);
}

TEST(WindowTarget, NoPostRunsAfterDestroyReturns) {
    Recorder r;
    HWND w = cvxWindowCreate(record, &r);
    std::atomic<bool> stop{false};
    std::vector<std::thread> posters;
    for (int i = 0; i < 4; ++i) {
        posters.emplace_back([&] {
            while (!stop.load()) {
                cvxPostMessage(w, 1, 0, 0);
            }
        });
    }
    while (r.count.load() < 1000) {
        std::this_thread::yield();
    }
    cvxWindowDestroy(w);
    int atDestroy = r.count.load();
    for (int i = 0; i < 1000; ++i) {
        EXPECT_EQ(cvxPostMessage(w, 1, 0, 0), 0);
    }
    stop.store(true);
    for (auto& t : posters) {
        t.join();
    }
    EXPECT_EQ(r.count.load(), atDestroy);
}

} // namespace
