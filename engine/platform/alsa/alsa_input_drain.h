// Reading what the sequencer holds for Corvex's client, without waiting. The reading itself
// is a function given by the caller, so this part needs no sequencer.
//
// Called on the backend's reader thread only. Nothing here allocates or waits.
#pragma once

#include <alsa/asoundlib.h>

#include <cerrno>

namespace cvx::platform {

// Whether a result of snd_seq_event_input() says the client's input pool overran: the
// kernel dropped events it could not keep (it does not say how many or for which port).
inline bool isAlsaInputOverrun(int result) {
    return result == -ENOSPC;
}

// Reads events through `read` (int(snd_seq_event_t**), as snd_seq_event_input()) until
// the sequencer has nothing more (EAGAIN) or `limit` reads were made. Each event goes to
// `take`; an overrun of the client's input pool (the kernel dropped what it held) calls
// `overrun` and reading goes on. Any other error ends the drain: what is left waits for
// the next wake-up. Returns the number of reads made.
template <typename Read, typename Take, typename Overrun>
int drainAlsaInput(int limit, Read&& read, Take&& take, Overrun&& overrun) {
    int reads = 0;
    while (reads < limit) {
        ++reads;
        snd_seq_event_t* event = nullptr;
        const int result = read(&event);
        if (isAlsaInputOverrun(result)) {
            overrun();
            continue;
        }
        if (result < 0) {
            break;
        }
        if (event != nullptr) {
            take(*event);
        }
    }
    return reads;
}

} // namespace cvx::platform
