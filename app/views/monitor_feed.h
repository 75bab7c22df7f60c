// Where a monitor's events come from: the engine queue it drains and the SysEx display
// pieces those events refer to. The program's feed reads the engine client
// (EngineMonitorFeed); tests may hand their own.
// Threads: the user-interface thread only (the engine allows one GetEvent caller).
#pragma once

#include "views/monitor_line.h"

namespace corvex {

class MonitorFeed {
public:
    virtual ~MonitorFeed() = default;
    // The next queued event; false when the queue is empty.
    virtual bool nextEvent(EVENT& out) = 0;
    // The bytes of the SysEx display piece in ring slot `slot`, `count` long (at most one
    // piece); a piece that cannot be fetched comes back with count 0.
    virtual SysExBytesLine sysexPiece(uint16_t slot, size_t count) = 0;
};

} // namespace corvex
