#include "alsa_message_writer.h"

#include <cerrno>

namespace cvx::platform {

AlsaWriteOutcome alsaWriteOutcome(int result) {
    if (result >= 0) {
        return AlsaWriteOutcome::Written;
    }
    // EAGAIN: a non-blocking client met a full event pool. ENOMEM: the destination had no
    // room (a user client's input pool, a MIDI port's output buffer).
    return result == -EAGAIN || result == -ENOMEM ? AlsaWriteOutcome::Overrun
                                                  : AlsaWriteOutcome::Failed;
}

MMRESULT alsaWriteResult(AlsaWriteOutcome outcome) {
    switch (outcome) {
    case AlsaWriteOutcome::Written:
        return MMSYSERR_NOERROR;
    case AlsaWriteOutcome::Overrun:
        return MIDIERR_NOTREADY;
    default:
        return MMSYSERR_ERROR;
    }
}

} // namespace cvx::platform
