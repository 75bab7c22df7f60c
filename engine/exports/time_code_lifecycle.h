// The client-lifecycle calls of the time-code area: start values at CreateClient, stopping
// the generators at DestroyClient, and the received-time reset of AttachMTC / DetachMTC.
#pragma once

#include "core/time_code_state.h"

namespace cvx::timecode {

// 00:00:00:00 at 30 fps for the received time and the generator (whose step is set, so a
// start without ConfigMTC runs at 30 fps), 5 ms timer periods, timebase 120 at 100 BPM for
// the clock generator and the sync tracker, and the injection path as sender.
void initTimeCodeDefaults(TimeCodeState& state);

// Stops both generators, so no tick runs on a client being freed. Call without the engine
// lock held.
void stopGenerators(core::CvxClient& client);

void resetReceivedTime(TimeCodeState& state);

} // namespace cvx::timecode
