// A queue of SysEx buffer headers with due times: the captured input buffers waiting for
// GetSysExData, and the output buffers waiting to be sent. 1025 slots hold 1024 entries; an
// entry that does not fit is refused. Callers hold the engine lock.
#pragma once

#include "cvx_platform.h"

#include <array>
#include <cstdint>

namespace cvx::core {

class BufferQueue {
public:
    static constexpr uint32_t kSlots = 1025;
    static constexpr uint32_t kCapacity = kSlots - 1;

    struct Entry {
        MIDIHDR* header = nullptr;
        uint32_t due = 0;
    };

    bool push(MIDIHDR* header, uint32_t due) {
        uint32_t next = (tail_ + 1) % kSlots;
        if (next == head_) {
            return false;
        }
        entries_[tail_] = Entry{header, due};
        tail_ = next;
        return true;
    }

    // Null when the queue is empty.
    const Entry* front() const { return head_ == tail_ ? nullptr : &entries_[head_]; }

    void pop() {
        if (head_ != tail_) {
            head_ = (head_ + 1) % kSlots;
        }
    }

    // Drops every entry whose header satisfies `drop`, keeping the others in order.
    template <class Predicate> void removeIf(Predicate drop) {
        uint32_t kept = head_;
        for (uint32_t i = head_; i != tail_; i = (i + 1) % kSlots) {
            if (!drop(entries_[i])) {
                entries_[kept] = entries_[i];
                kept = (kept + 1) % kSlots;
            }
        }
        tail_ = kept;
    }

    uint32_t size() const { return (tail_ + kSlots - head_) % kSlots; }

private:
    std::array<Entry, kSlots> entries_{};
    uint32_t head_ = 0;
    uint32_t tail_ = 0;
};

} // namespace cvx::core
