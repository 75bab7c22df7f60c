// Running the body of a C export so that no exception ever leaves it: exports are called
// from C and from other libraries, where an unwinding exception is undefined behaviour.
// Each export that calls code that may throw (memory for device lists and names, starting
// the service threads on first use) runs its body through one of these and returns its
// documented failure result instead.
#pragma once

#include "cvx_platform.h"

#include <new>

namespace cvx::exports {

// The body's result, or `onFailure` when it throws.
template <class Result, class Body> Result guarded(Result onFailure, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return onFailure;
    }
}

// For MIDI calls: MMSYSERR_NOMEM when memory ran out, MMSYSERR_ERROR for any other failure.
template <class Body> MMRESULT guardedMidi(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return MMSYSERR_NOMEM;
    } catch (...) {
        return MMSYSERR_ERROR;
    }
}

// For calls without a result: a failure leaves things as they were.
template <class Body> void guardedCall(Body&& body) noexcept {
    try {
        body();
    } catch (...) {
    }
}

} // namespace cvx::exports
