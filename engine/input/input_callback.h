// The engine's input callback: what happens, in order, to every short message and every
// SysEx buffer an input delivers. The platform calls it on its MIDI input thread with the
// client record as instance data.
#pragma once

#include "cvx_platform.h"

namespace cvx::input {

void engineInputCallback(HMIDIIN handle, UINT kind, DWORD_PTR instance, DWORD_PTR param1,
                         DWORD_PTR param2);

} // namespace cvx::input
