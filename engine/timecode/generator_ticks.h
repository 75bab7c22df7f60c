// The timer callbacks of the time-code and clock generators (timer thread): each sends the
// messages whose deadlines have come through the client's generated-event sender and sets
// its timer's next deadline to the next message's.
#pragma once

#include "cvx_platform.h"

namespace cvx::timecode {

void mtcTick(UINT timerId, UINT msg, DWORD_PTR user, DWORD_PTR, DWORD_PTR);
void clockTick(UINT timerId, UINT msg, DWORD_PTR user, DWORD_PTR, DWORD_PTR);

} // namespace cvx::timecode
