#include "views/monitor_ring.h"

namespace corvex {

MonitorRing::MonitorRing() : slots_(capacity) {}

void MonitorRing::push(MonitorLine line) {
    slots_[next_] = std::move(line);
    next_ = (next_ + 1) % capacity;
    if (size_ < capacity) {
        ++size_;
    }
}

void MonitorRing::clear() {
    for (auto& slot : slots_) {
        slot = EVENT{};
    }
    next_ = 0;
    size_ = 0;
}

const MonitorLine& MonitorRing::operator[](size_t index) const {
    const size_t oldest = (next_ + capacity - size_) % capacity;
    return slots_[(oldest + index) % capacity];
}

} // namespace corvex
