// Starting and keeping the per-port loss counts that GetPortCounters reports. Called by
// the open and close operations on the application's thread.
#pragma once

#include "core/port_tables.h"

namespace cvx::core {

// An input is being opened: its counts start from zero.
inline void startInputCounts(InputPort& port) {
    port.overrunsAtClose.store(0);
    port.rejects.store(0);
}

// An input is about to be closed: keeps what its handle lost, so that the count of this
// opening can still be read after the close.
inline void keepInputOverruns(InputPort& port, HMIDIIN handle) {
    uint64_t overruns = 0;
    if (cvxMidiInGetOverruns(handle, &overruns) == MMSYSERR_NOERROR) {
        port.overrunsAtClose.store(overruns);
    }
}

// An output is being opened: its count starts from zero.
inline void startOutputCounts(OutputPort& port) {
    port.sendFailures.store(0);
}

} // namespace cvx::core
