// A fixed-size ring of posted window messages between any number of posting threads and the
// user-interface thread. Pushing never allocates, blocks or takes a lock (a bounded
// multi-producer, multi-consumer queue with per-cell sequence numbers); when the ring is
// full the oldest message is dropped and counted, so the newest notifications always get
// through.
//
// Threads: push() from any thread, the engine's real-time threads included; pop() from any
// thread (the user-interface thread; push() also pops to make room).
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace corvex {

struct PostedMessage {
    uint32_t msg = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
};

template <size_t Capacity> class PostRing {
    static_assert(Capacity >= 2 && (Capacity & (Capacity - 1)) == 0,
                  "the capacity is a power of two");

public:
    PostRing() {
        for (size_t i = 0; i < Capacity; ++i) {
            cells_[i].sequence.store(i, std::memory_order_relaxed);
        }
    }
    PostRing(const PostRing&) = delete;
    PostRing& operator=(const PostRing&) = delete;

    // Adds `message`, dropping the oldest message when the ring is full.
    void push(const PostedMessage& message) {
        while (!tryPush(message)) {
            PostedMessage oldest;
            if (pop(oldest)) {
                dropped_.fetch_add(1, std::memory_order_relaxed);
            }
        }
    }

    // Takes the oldest message; false when the ring is empty.
    bool pop(PostedMessage& message) {
        size_t position = tail_.load(std::memory_order_relaxed);
        for (;;) {
            Cell& cell = cells_[position & (Capacity - 1)];
            const size_t sequence = cell.sequence.load(std::memory_order_acquire);
            const auto difference =
                static_cast<std::ptrdiff_t>(sequence) - static_cast<std::ptrdiff_t>(position + 1);
            if (difference == 0) {
                if (tail_.compare_exchange_weak(position, position + 1,
                                                std::memory_order_relaxed)) {
                    message = cell.value;
                    cell.sequence.store(position + Capacity, std::memory_order_release);
                    return true;
                }
            } else if (difference < 0) {
                return false;
            } else {
                position = tail_.load(std::memory_order_relaxed);
            }
        }
    }

    // How many messages were dropped because the ring was full.
    uint64_t dropped() const { return dropped_.load(std::memory_order_relaxed); }

private:
    struct Cell {
        std::atomic<size_t> sequence{0};
        PostedMessage value;
    };

    bool tryPush(const PostedMessage& message) {
        size_t position = head_.load(std::memory_order_relaxed);
        for (;;) {
            Cell& cell = cells_[position & (Capacity - 1)];
            const size_t sequence = cell.sequence.load(std::memory_order_acquire);
            const auto difference =
                static_cast<std::ptrdiff_t>(sequence) - static_cast<std::ptrdiff_t>(position);
            if (difference == 0) {
                if (head_.compare_exchange_weak(position, position + 1,
                                                std::memory_order_relaxed)) {
                    cell.value = message;
                    cell.sequence.store(position + 1, std::memory_order_release);
                    return true;
                }
            } else if (difference < 0) {
                return false;
            } else {
                position = head_.load(std::memory_order_relaxed);
            }
        }
    }

    std::array<Cell, Capacity> cells_;
    alignas(64) std::atomic<size_t> head_{0};
    alignas(64) std::atomic<size_t> tail_{0};
    alignas(64) std::atomic<uint64_t> dropped_{0};
};

} // namespace corvex
