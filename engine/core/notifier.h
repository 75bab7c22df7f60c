// Telling windows that events are waiting. The main window is told at once; the raw-monitor
// window through a throttled one-shot timer, so a burst of input costs it one wake-up.
#pragma once

#include "core/client.h"

namespace cvx::core {

// Posts WM_CVX_EVENTS to the main window and records the tick count.
void notifyMain(CvxClient& client);

// Arranges WM_CVX_EVENTS for the raw-monitor window at the later of now + 5 ms and 20 ms
// after its previous notice. While one notification is pending, further events ride on it.
void scheduleRawNotify(CvxClient& client);

// Cancels a pending raw notification; after it returns the timer's callback is not running
// and will not run.
void cancelRawNotify(CvxClient& client);

} // namespace cvx::core
