// A drag in the routing view and what its end does. A drag starts on an input icon, an
// output icon or a connection handle. Released from an input on an output (or the other way
// round) it connects the pair; a handle released on a handle opens the properties of the
// connection under the point; a handle released anywhere else in the window disconnects the
// connection it started from. A drag released outside the window, cancelled (Esc, focus
// lost, window closed) or outlived by a change of the port lists does nothing.
//
// User-interface thread only (plain values).
#pragma once

#include "routing/routing_operations.h"
#include "routing/routing_view_content.h"
#include "routing/routing_view_geometry.h"

namespace corvex {

struct RoutingDragOutcome {
    enum class Action { None, Connect, Disconnect, Properties };
    Action action = Action::None;
    int input = 0; // device indices
    int output = 0;
    bool operator==(const RoutingDragOutcome&) const = default;
};

class RoutingViewDrag {
public:
    // Starts a drag on an input, an output or a handle; returns whether one started.
    bool begin(const RoutingHit& hit);
    bool active() const { return start_.kind != RoutingHitKind::Empty; }
    // Input or output drags show a curve to the mouse point; handle drags do not.
    bool drawsCurve() const;
    const RoutingHit& start() const { return start_; }
    void cancel() { start_ = {}; }
    // Ends the drag at `drop` (the hit under the release point, without curves).
    RoutingDragOutcome finish(const RoutingHit& drop, bool insideWindow,
                              const RoutingViewContent& content);

private:
    RoutingHit start_;
};

// Connect or Disconnect through the routing operations; Properties and None change nothing
// here (the window opens the properties dialog).
RoutingChange applyDragOutcome(RoutingState& state, const RoutingDragOutcome& outcome);

} // namespace corvex
