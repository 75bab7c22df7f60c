// Routing one processed event from its input to every open output whose route mask for that
// input passes it, through the route's own data map when it has one.
#pragma once

#include "core/client.h"

namespace cvx::routing {

// With `monitor`, every message sent is recorded in the main queue. Route-map results with a
// delay are scheduled for their output; returns whether anything was scheduled.
bool routeEvent(core::CvxClient& client, const EVENT& event, bool monitor);

} // namespace cvx::routing
