// The delayed-event pool of one client: 512 entries on a free list or on a pending list
// sorted by due time. An entry scheduled with the same due time as pending ones goes before
// them, so equal due times leave in reverse order of scheduling. Callers hold the engine lock.
#pragma once

#include "cvx_records.h"

#include <cstdint>

namespace cvx::core {

// What the pump does with an entry.
enum DelayedMark : uint16_t {
    kMarkNoMainQueue = 0x02, // not into the main queue when no output is open
    kMarkScriptCheck = 0x04, // the script window may take it
    kMarkMonitor = 0x08,     // write monitor records
    kMarkRouteInput = 0x10,  // route as an input event
    kMarkRouteOutput = 0x20, // send to the entry's output through its route
    kMarkGenerated = 0x40,   // send with the generated-port masks
    kMarkRerun = 0x80,       // run map and delivery again as an input event
};

inline constexpr int kNoOutput = -1;

struct DelayedEvent {
    DelayedEvent* next;
    int output; // kNoOutput: all open outputs
    uint16_t marks;
    uint32_t delay;
    uint32_t due; // ms since StartTimeStamp
    EVENT event;
};

class DelayedPool {
public:
    static constexpr uint32_t kEntries = 512;

    DelayedPool();

    // False when no entry is free.
    bool schedule(const EVENT& event, int output, uint16_t marks, uint32_t delay, uint32_t due);
    // The first pending entry if it is due at `now`, unlinked; the caller gives it back.
    DelayedEvent* takeDue(uint32_t now);
    void release(DelayedEvent* entry);
    bool hasPending() const { return pending_ != nullptr; }
    // Drops pending entries for `output` (a closing output); entries for all outputs stay.
    void dropForOutput(int output);

private:
    DelayedEvent entries_[kEntries];
    DelayedEvent* free_ = nullptr;
    DelayedEvent* pending_ = nullptr;
};

} // namespace cvx::core
