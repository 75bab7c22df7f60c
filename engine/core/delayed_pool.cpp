#include "core/delayed_pool.h"

namespace cvx::core {

DelayedPool::DelayedPool() : entries_{} {
    for (uint32_t i = 0; i < kEntries; ++i) {
        entries_[i].next = free_;
        free_ = &entries_[i];
    }
}

bool DelayedPool::schedule(const EVENT& event, int output, uint16_t marks, uint32_t delay,
                           uint32_t due) {
    DelayedEvent* entry = free_;
    if (entry == nullptr) {
        return false;
    }
    free_ = entry->next;
    *entry = DelayedEvent{nullptr, output, marks, delay, due, event};
    DelayedEvent** link = &pending_;
    // Due times are compared as distances, so the order survives the clock's wrap.
    while (*link != nullptr && static_cast<int32_t>((*link)->due - due) < 0) {
        link = &(*link)->next;
    }
    entry->next = *link;
    *link = entry;
    return true;
}

DelayedEvent* DelayedPool::takeDue(uint32_t now) {
    DelayedEvent* head = pending_;
    if (head == nullptr || static_cast<int32_t>(now - head->due) < 0) {
        return nullptr;
    }
    pending_ = head->next;
    head->next = nullptr;
    return head;
}

void DelayedPool::release(DelayedEvent* entry) {
    entry->next = free_;
    free_ = entry;
}

void DelayedPool::dropForOutput(int output) {
    DelayedEvent** link = &pending_;
    while (*link != nullptr) {
        DelayedEvent* entry = *link;
        if (entry->output == output) {
            *link = entry->next;
            release(entry);
        } else {
            link = &entry->next;
        }
    }
}

} // namespace cvx::core
