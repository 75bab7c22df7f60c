// The checks and flag changes that preparing and unpreparing a buffer header share, for
// inputs and outputs alike. The callers hold their port's lock and have checked the handle.
#pragma once

#include "cvx_platform.h"

namespace cvx::platform {

inline bool headerOk(const MIDIHDR* header, UINT size) {
    return header != nullptr && size == sizeof(MIDIHDR);
}

inline MMRESULT markPrepared(MIDIHDR* header, UINT size) {
    if (!headerOk(header, size) || header->lpData == nullptr) {
        return MMSYSERR_INVALPARAM;
    }
    header->dwFlags |= MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

// A header still queued with the service cannot be unprepared.
inline MMRESULT markUnprepared(MIDIHDR* header, UINT size) {
    if (!headerOk(header, size)) {
        return MMSYSERR_INVALPARAM;
    }
    if ((header->dwFlags & MHDR_INQUEUE) != 0) {
        return MIDIERR_STILLPLAYING;
    }
    header->dwFlags &= ~MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

} // namespace cvx::platform
