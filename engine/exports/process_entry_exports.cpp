// The engine's process attach/detach entry. Process-wide state (the engine lock, the MIDI
// and timer services) is made by static initialisation or on first use and ends with the
// process, so there is nothing to do for any reason; the entry exists for its ordinal.
#include "cvxcore.h"

extern "C" BOOL DllMain(HINSTANCE, DWORD, void*) {
    return 1;
}
