// A bounded ring of pending sends with many producers and one consumer at a time: any
// thread pushes without locking or allocating; the consumer (whoever holds the output's wire
// lock) pops in push order. A full ring refuses the push.
#pragma once

#include "output/pending_send.h"

#include <array>
#include <atomic>
#include <cstdint>

namespace cvx::output {

class SendRing {
public:
    static constexpr uint32_t kCapacity = 4096; // a power of two

    SendRing() {
        for (uint32_t i = 0; i < kCapacity; ++i) {
            cells_[i].sequence.store(i, std::memory_order_relaxed);
        }
    }

    // Any thread. False when the ring is full.
    bool push(const PendingSend& send) {
        uint64_t position = tail_.load(std::memory_order_relaxed);
        for (;;) {
            Cell& cell = cells_[position & kMask];
            uint64_t sequence = cell.sequence.load(std::memory_order_acquire);
            auto lag = static_cast<int64_t>(sequence - position);
            if (lag == 0) {
                if (tail_.compare_exchange_weak(position, position + 1,
                                                std::memory_order_relaxed)) {
                    cell.send = send;
                    cell.sequence.store(position + 1, std::memory_order_release);
                    return true;
                }
            } else if (lag < 0) {
                return false;
            } else {
                position = tail_.load(std::memory_order_relaxed);
            }
        }
    }

    // The consumer only. False when nothing (completely pushed) is waiting.
    bool pop(PendingSend& out) {
        uint64_t position = head_.load(std::memory_order_relaxed);
        Cell& cell = cells_[position & kMask];
        if (cell.sequence.load(std::memory_order_acquire) != position + 1) {
            return false;
        }
        out = cell.send;
        cell.sequence.store(position + kCapacity, std::memory_order_release);
        head_.store(position + 1, std::memory_order_relaxed);
        return true;
    }

    // How many pushes have begun (a push that found the ring full does not count).
    uint64_t pushed() const { return tail_.load(std::memory_order_acquire); }

    // Whether no push has begun that was not popped yet.
    bool empty() const {
        return tail_.load(std::memory_order_acquire) == head_.load(std::memory_order_acquire);
    }

private:
    static constexpr uint64_t kMask = kCapacity - 1;

    struct Cell {
        std::atomic<uint64_t> sequence{0};
        PendingSend send;
    };

    std::array<Cell, kCapacity> cells_;
    alignas(64) std::atomic<uint64_t> tail_{0};
    alignas(64) std::atomic<uint64_t> head_{0};
};

} // namespace cvx::output
