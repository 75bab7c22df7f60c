// Delivering a processed input event: the script host's look at it, then routing to the
// open outputs, or the main queue when no output is open. Shared by input processing, the
// re-run of patch-mapped program changes and the delayed-event pump.
#pragma once

#include "core/client.h"
#include "core/map_state.h"

namespace cvx::routing {

// Input mode sends with monitor records and may queue for the script host; filtered mode
// (a message the filter hides but lets through) routes without monitor records.
enum class InputMode { Input, Filtered };

// The script check: with a script window attached the event is queued for it and the window
// told. Returns true when the script divert is on: the event then goes no further.
bool scriptTakes(core::CvxClient& client, const EVENT& event);

// With `scriptCheck` the script host sees the event first; with `noMainQueue` an event that
// no output takes is not added to the main queue. Returns whether anything was scheduled.
bool deliverAsInput(core::CvxClient& client, const EVENT& event, bool scriptCheck,
                    bool noMainQueue);

// The processing loop for an input event: `map` (null: the event passes unchanged) and the
// global NRPN state; results with a delay go to the delayed-event pool with the marks of the
// mode. Returns whether anything was scheduled.
bool processInputEvent(core::CvxClient& client, const EVENT& source, InputMode mode,
                       bool rawMonitored, mapping::MapCopy* map);

} // namespace cvx::routing
