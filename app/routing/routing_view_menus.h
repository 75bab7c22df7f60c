// The routing view's context menus, chosen by what lies under the right click (the hit test
// with curves), and what their commands do through the routing operations.
//
// User-interface thread only (plain values).
#pragma once

#include "routing/routing_operations.h"
#include "routing/routing_view_content.h"
#include "routing/routing_view_geometry.h"

#include <string>
#include <vector>

namespace corvex {

enum class RoutingMenuCommand {
    ConnectAll,
    DisconnectAll,
    ConnectInputPort,
    DisconnectInputPort,
    ConnectOutputPort,
    DisconnectOutputPort,
    Disconnect,
    Properties
};

struct RoutingMenuEntry {
    std::string text;
    RoutingMenuCommand command;
    bool operator==(const RoutingMenuEntry&) const = default;
};

// The entries of the menu for `hit`, in their order.
std::vector<RoutingMenuEntry> routingContextMenu(const RoutingHit& hit,
                                                 const RoutingViewContent& content);

// Runs a menu command for the place `hit` names. Properties changes nothing here (the window
// opens the dialog for the hit's connection).
RoutingChange runRoutingMenuCommand(RoutingState& state, RoutingMenuCommand command,
                                    const RoutingHit& hit, const RoutingViewContent& content);

} // namespace corvex
