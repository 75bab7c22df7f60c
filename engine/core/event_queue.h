// A consumer's queue of EVENT records: a ring of 2400 events. A full queue drops the newest
// event and counts it in the drop counter it was given (the client's count for that MonID),
// so the loss can be read with GetPortCounters. Callers hold the engine lock around enqueue
// and dequeue; the drop counter may be read from any thread.
#pragma once

#include "cvx_records.h"

#include <array>
#include <atomic>
#include <cstdint>

namespace cvx::core {

class EventQueue {
public:
    static constexpr uint32_t kCapacity = 2400;

    // `drops`, when given, must outlive the queue.
    explicit EventQueue(std::atomic<uint64_t>* drops = nullptr) : drops_(drops) {}

    // False (and the event dropped and counted) when the queue already holds kCapacity
    // events.
    bool enqueue(const EVENT& event) {
        if (count_ >= kCapacity) {
            if (drops_ != nullptr) {
                drops_->fetch_add(1, std::memory_order_relaxed);
            }
            return false;
        }
        events_[write_] = event;
        write_ = (write_ + 1) % kStorage;
        ++count_;
        return true;
    }

    bool dequeue(EVENT& out) {
        if (count_ == 0) {
            return false;
        }
        out = events_[read_];
        read_ = (read_ + 1) % kStorage;
        --count_;
        return true;
    }

    uint32_t size() const { return count_; }

private:
    static constexpr uint32_t kStorage = kCapacity + 1;

    std::array<EVENT, kStorage> events_{};
    uint32_t write_ = 0;
    uint32_t read_ = 0;
    uint32_t count_ = 0;
    std::atomic<uint64_t>* drops_ = nullptr;
};

} // namespace cvx::core
