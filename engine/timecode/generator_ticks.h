// The timer callbacks of the time-code and clock generators: each runs its generator for
// the time the tick covers and sends what became due through the client's generated-event
// sender.
#pragma once

#include "cvx_platform.h"

namespace cvx::timecode {

void mtcTick(UINT timerId, UINT msg, DWORD_PTR user, DWORD_PTR, DWORD_PTR);
void clockTick(UINT timerId, UINT msg, DWORD_PTR user, DWORD_PTR, DWORD_PTR);

} // namespace cvx::timecode
