// The delayed-event pump: events that a map item delays (and patch-mapped program changes
// passed on) wait in the client's pool; a 5 ms periodic timer, running only while entries
// are pending, delivers each when it is due.
#pragma once

#include "core/client.h"

#include <cstdint>

namespace cvx::routing {

// Schedules `event` for `delay` ms from now. False when the pool is empty: the caller then
// delivers at once.
bool scheduleDelayed(core::CvxClient& client, const EVENT& event, int output, uint16_t marks,
                     uint32_t delay);

// Starts the pump timer when entries are pending and it does not run.
void startPumpIfNeeded(core::CvxClient& client);

// Stops the pump; after it returns no tick runs. Never call it with the engine lock held.
void stopPump(core::CvxClient& client);

// Drops the pending entries bound to one output (which is closing).
void dropDelayedForOutput(core::CvxClient& client, int output);

} // namespace cvx::routing
