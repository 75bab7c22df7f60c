#include "event_target/message_ring.h"

namespace cvx::notify {

MessageRing::MessageRing(size_t capacity) : slots_(new Slot[capacity]), mask_(capacity - 1) {
    for (size_t i = 0; i < capacity; ++i) {
        slots_[i].sequence.store(i, std::memory_order_relaxed);
    }
}

bool MessageRing::push(const CvxMessage& message) {
    size_t position = pushPosition_.load(std::memory_order_relaxed);
    for (;;) {
        Slot& slot = slots_[position & mask_];
        const size_t sequence = slot.sequence.load(std::memory_order_acquire);
        const auto lead = static_cast<intptr_t>(sequence) - static_cast<intptr_t>(position);
        if (lead == 0) {
            if (pushPosition_.compare_exchange_weak(position, position + 1,
                                                    std::memory_order_relaxed)) {
                slot.message = message;
                slot.sequence.store(position + 1, std::memory_order_release);
                return true;
            }
        } else if (lead < 0) {
            return false; // the slot still holds the message of the previous round
        } else {
            position = pushPosition_.load(std::memory_order_relaxed);
        }
    }
}

bool MessageRing::pop(CvxMessage& message) {
    Slot& slot = slots_[popPosition_ & mask_];
    if (slot.sequence.load(std::memory_order_acquire) != popPosition_ + 1) {
        return false;
    }
    message = slot.message;
    slot.sequence.store(popPosition_ + mask_ + 1, std::memory_order_release);
    ++popPosition_;
    return true;
}

} // namespace cvx::notify
