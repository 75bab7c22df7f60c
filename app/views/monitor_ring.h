// The newest 3000 lines of a monitor, oldest first. Storage is allocated once; adding to a
// full ring replaces the oldest line (and frees the text it owned).
// Threads: one thread (the user-interface thread) owns a ring.
#pragma once

#include "views/monitor_line.h"

#include <cstddef>
#include <vector>

namespace corvex {

class MonitorRing {
public:
    static constexpr size_t capacity = 3000;

    MonitorRing();

    void push(MonitorLine line);
    void clear();

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    // index 0 is the oldest line, size() - 1 the newest.
    const MonitorLine& operator[](size_t index) const;

private:
    std::vector<MonitorLine> slots_;
    size_t next_ = 0; // slot the next line goes to
    size_t size_ = 0;
};

} // namespace corvex
