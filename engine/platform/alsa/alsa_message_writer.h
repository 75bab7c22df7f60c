// One outgoing message as sequencer events, and what the sequencer's answers mean. The
// writing itself is a function given by the caller, so this part needs no sequencer.
//
// Any thread. Nothing here allocates or waits: the sequencer is opened non-blocking, so a
// destination that cannot take more events answers at once, and that answer is an overrun.
#pragma once

#include "alsa_event_translation.h"
#include "cvx_platform.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

namespace cvx::platform {

enum class AlsaWriteOutcome {
    Written,
    Overrun, // the destination (or our side of it) is full: nothing waited, the event is lost
    Failed,  // any other refusal, e.g. the port went away
};

// What a result of snd_seq_event_output_direct() means.
AlsaWriteOutcome alsaWriteOutcome(int result);

// The MIDI result a sender sees: NOERROR, MIDIERR_NOTREADY for an overrun, else ERROR.
MMRESULT alsaWriteResult(AlsaWriteOutcome outcome);

// SysEx goes out in events of this size: small enough for the sequencer's event pool, large
// enough to keep the event count low.
inline constexpr size_t kAlsaSysExChunkBytes = 256;

// Writes `message` through `write` (int(snd_seq_event_t&), a sequencer result): a complete
// short message as its one event; SysEx, a piece of it or bytes no event stands for as
// SysEx events of at most kAlsaSysExChunkBytes, in order. Stops at the first event that is
// not written; the events before it are gone already (a SysEx is then cut short, and the
// receiver takes the next status byte as its end).
template <typename Write>
AlsaWriteOutcome writeAlsaMessage(std::span<const uint8_t> message, Write&& write) {
    snd_seq_event_t event;
    if (wireToAlsaEvent(message, event)) {
        return alsaWriteOutcome(write(event));
    }
    for (size_t offset = 0; offset < message.size(); offset += kAlsaSysExChunkBytes) {
        const size_t length = std::min(kAlsaSysExChunkBytes, message.size() - offset);
        sysExToAlsaEvent(message.subspan(offset, length), event);
        if (const AlsaWriteOutcome outcome = alsaWriteOutcome(write(event));
            outcome != AlsaWriteOutcome::Written) {
            return outcome;
        }
    }
    return AlsaWriteOutcome::Written;
}

} // namespace cvx::platform
