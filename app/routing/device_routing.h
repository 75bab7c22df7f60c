// The device manager's selection and routing as an editor's working copy and back: which
// ports are selected (in their selection order), every output's CPortMap and the
// per-connection data maps. Applying a RoutingState marks the ports for the next opening;
// the caller reopens them.
//
// User-interface thread only.
#pragma once

#include "devices/device_roster.h"
#include "devices/port_selection.h"
#include "routing/routing_operations.h"

#include <string>
#include <vector>

namespace corvex {

RoutingState routingStateOf(const DeviceRoster& roster, const PortSelection& selection);
// Selects exactly the state's ports in its order, gives every output with a working copy its
// map and makes the state's data maps current.
void applyRoutingState(const RoutingState& state, DeviceRoster& roster, PortSelection& selection);

// The display names of the inputs (or outputs) by device index; empty where none.
std::vector<std::string> portNamesByIndex(const DeviceRoster& roster, bool inputs);

} // namespace corvex
