// The device manager's text listings, as lines of monitor text through the user interface:
// the open devices (with, when `routingDetails` is on, each output's connected inputs, their
// channels and classes and their data maps), the running status of each open output, and
// the global data map.
//
// User-interface thread only.
#pragma once

#include "device_roster.h"
#include "device_user_interface.h"
#include "engine_link.h"
#include "port_data_map.h"

namespace corvex {

void listDeviceInformation(const DeviceRoster& roster, const CPortDataMap& routeMaps,
                           bool routingDetails, DeviceUserInterface& ui);
void listRunningStatus(const DeviceRoster& roster, const EngineLink& engine,
                       DeviceUserInterface& ui);
// Nothing when the map has no items.
void listDataMap(const SMapper& map, DeviceUserInterface& ui);

} // namespace corvex
