#include "views/engine_monitor_feed.h"

#include "cvxlib.h"

#include <algorithm>
#include <cstring>

namespace corvex {

bool EngineMonitorFeed::nextEvent(EVENT& out) {
    return client_ != 0 && GetEvent(client_, &out, queue_) != 0;
}

SysExBytesLine EngineMonitorFeed::sysexPiece(uint16_t slot, size_t count) {
    SysExBytesLine line;
    if (client_ == 0) {
        return line;
    }
    // The engine copies the whole slot whenever the buffer holds one; the result is the
    // slot's first byte, not a success flag.
    uint8_t piece[EventText::sysexPieceBytes];
    GetSysExString(client_, slot, piece, sizeof piece);
    line.count = static_cast<uint8_t>(std::min(count, sizeof piece));
    std::memcpy(line.bytes.data(), piece, line.count);
    return line;
}

} // namespace corvex
