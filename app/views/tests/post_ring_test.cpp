#include "views/post_ring.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace corvex {
namespace {

TEST(PostRing, KeepsOrderAndDropsTheOldestWhenFull) {
    PostRing<4> ring;
    for (uint32_t i = 1; i <= 6; ++i) {
        ring.push(PostedMessage{i, i * 10, -static_cast<intptr_t>(i)});
    }
    EXPECT_EQ(ring.dropped(), 2u);
    PostedMessage message;
    for (uint32_t expected = 3; expected <= 6; ++expected) {
        ASSERT_TRUE(ring.pop(message));
        EXPECT_EQ(message.msg, expected);
        EXPECT_EQ(message.wParam, expected * 10);
        EXPECT_EQ(message.lParam, -static_cast<intptr_t>(expected));
    }
    EXPECT_FALSE(ring.pop(message));
}

// Several posters and one reader at once: every message arrives exactly once, in each
// poster's order, when the ring never overflows (run under ThreadSanitizer as well).
TEST(PostRing, SeveralPostersOneReaderLoseNothing) {
    constexpr uint32_t kPosters = 4;
    constexpr uint32_t kEach = 20000;
    PostRing<1024> ring;
    std::atomic<uint32_t> inFlight{0};
    std::vector<std::thread> posters;
    for (uint32_t p = 0; p < kPosters; ++p) {
        posters.emplace_back([&ring, &inFlight, p] {
            for (uint32_t i = 0; i < kEach; ++i) {
                while (inFlight.load() >= 512) {
                    std::this_thread::yield();
                }
                inFlight.fetch_add(1);
                ring.push(PostedMessage{p, i, 0});
            }
        });
    }
    std::vector<uint32_t> next(kPosters, 0);
    uint32_t received = 0;
    PostedMessage message;
    while (received < kPosters * kEach) {
        if (!ring.pop(message)) {
            std::this_thread::yield();
            continue;
        }
        inFlight.fetch_sub(1);
        ASSERT_LT(message.msg, kPosters);
        ASSERT_EQ(message.wParam, next[message.msg]) << "poster " << message.msg;
        ++next[message.msg];
        ++received;
    }
    for (auto& poster : posters) {
        poster.join();
    }
    EXPECT_EQ(ring.dropped(), 0u);
}

} // namespace
} // namespace corvex
