// The monitor feed of an engine client: GetEvent on one queue (MON_MAIN for the main
// monitor, MON_RAW_INPUT for the input monitor) and GetSysExString for SysEx pieces.
// Threads: the user-interface thread only.
#pragma once

#include "views/monitor_feed.h"

namespace corvex {

class EngineMonitorFeed : public MonitorFeed {
public:
    EngineMonitorFeed(uint64_t client, MonID queue) : client_(client), queue_(queue) {}

    bool nextEvent(EVENT& out) override;
    SysExBytesLine sysexPiece(uint16_t slot, size_t count) override;

private:
    uint64_t client_;
    MonID queue_;
};

} // namespace corvex
