// The engine's copies of data maps in a client's map arena, and their publication to the
// threads that read them.
//
// The exports that replace maps hold the engine lock, and so does every processing loop
// while it runs a map; a loop therefore never sees a map half replaced. The active flag, the
// keyboard flag and the item, SysEx and route pointers are in addition stored with release
// and loaded with acquire order (std::atomic_ref on the plain fields), for readers that test
// them without the lock. A replacement unpublishes what it replaces before releasing it and
// publishes the new copy only once it is complete. A view (viewOf) is valid only while the
// engine lock is held: the blocks it points to may be released and reused once it is let go.
#pragma once

#include "core/map_arena.h"
#include "core/map_state.h"
#include "cvx_records.h"
#include "mapping/map_step.h"

namespace cvx::mapping {

// SendMap: marks the map inactive, stores options (also into the global NrpnState, whose
// held controllers are kept), keyboard flag and item count, replaces the items, replaces the
// SysEx block when the map brings one of more than 4 bytes, and stores the active flag last.
// When the arena cannot hold the items the map keeps its counts but matches nothing.
void storeGlobalMap(core::MapArena& arena, MapCopy& copy, NrpnState& nrpn, const SMapper& map);

// SendPDMap for one route slot: allocates the route record on first use, resets its
// NrpnState with the map's options, and replaces its items and SysEx block. False when the
// arena is exhausted; the route then has no map.
bool storeRouteMap(core::MapArena& arena, RouteMap*& slot, const SMapper& map);

// ClearPDMap for one route slot: frees the route's items, SysEx block and record.
void clearRouteMap(core::MapArena& arena, RouteMap*& slot);

bool isActive(MapCopy& copy);
bool mapsKeyboard(MapCopy& copy);
MapView viewOf(MapCopy& copy);
// The route map published in a slot, nullptr when none.
RouteMap* routeMapIn(RouteMap*& slot);

} // namespace cvx::mapping
