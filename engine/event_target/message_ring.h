// A bounded queue of posted messages: many threads push, one thread pops. Push and pop
// never allocate, block or lock: each slot carries a sequence number that says whether it
// is free for the push of a given round or holds the message a pop of that round expects.
#pragma once

#include "cvx_platform.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace cvx::notify {

class MessageRing {
public:
    // capacity: a power of two.
    explicit MessageRing(size_t capacity);

    // Any thread. False when the ring is full; the message is not queued.
    bool push(const CvxMessage& message);
    // The one reading thread. False when no message is ready.
    bool pop(CvxMessage& message);

    size_t capacity() const { return mask_ + 1; }

private:
    struct Slot {
        std::atomic<size_t> sequence;
        CvxMessage message;
    };

    std::unique_ptr<Slot[]> slots_;
    size_t mask_;
    alignas(64) std::atomic<size_t> pushPosition_{0};
    alignas(64) size_t popPosition_ = 0;
};

} // namespace cvx::notify
