// The routing of the selected outputs as a tree of nodes, and what dragging a node of the
// palette onto a node of that tree and deleting a node of it do to the editor's working
// copies. The dialog shows these trees; all decisions are made here.
//
// User-interface thread only.
#pragma once

#include "routing/routing_operations.h"

#include <functional>
#include <string>
#include <vector>

namespace corvex {

// The six node kinds, numbered as their pictures are.
enum class NodeKind {
    InPort = 0,
    OutPort = 1,
    Channel = 2,
    SystemItem = 3,
    CvxPort = 4,
    DataMap = 5
};

// Where a node is and what it stands for. `index` is the device index for ports (135 for
// "Corvex Events"), 0 for the "Channels" and "System" group nodes, 1-16 for a channel,
// 1-3 for "SysEx", "Realtime", "Common". `output` and `input` name the connection the node
// belongs to in the Port Mapping tree (-1 where none, and always in the palette).
struct RoutingNode {
    NodeKind kind = NodeKind::InPort;
    int index = 0;
    int output = -1;
    int input = -1;
    std::string text;
    std::string mapFile; // data map nodes: the file name
    std::vector<RoutingNode> children;

    bool operator==(const RoutingNode&) const = default;
};

// The display name of a port by device index (inputs or outputs).
using PortNamer = std::function<std::string(int deviceIndex)>;

// One Out Port node per shown output with its connected inputs and their details. A
// connected input whose mask is empty is disconnected on the way (reported in `change`).
std::vector<RoutingNode> portMappingTree(RoutingState& state, const PortNamer& outputName,
                                         const PortNamer& inputName, RoutingChange& change);

// The palette: "Channels", "System", the shown inputs, "Corvex Events", the map files.
std::vector<RoutingNode> paletteTree(const RoutingState& state, const PortNamer& inputName,
                                     const std::vector<std::string>& mapFiles);

// The text of the context menu entry for deleting a node of that kind ("&Delete In Port").
std::string deleteCommandText(NodeKind kind);

bool dropAllowed(const RoutingNode& dragged, const RoutingNode& target);
// Applies a drop of a palette node onto a Port Mapping node; nothing for a refused drop.
// Data maps are given as "%s\%s" of `mapFolder` and the file name (the folder separator on
// this system is '/', which is what is used).
RoutingChange dropNode(RoutingState& state, const RoutingNode& dragged, const RoutingNode& target,
                       const std::string& mapFolder);
// Deletes a Port Mapping node's meaning from the working copies. An Out Port node is not
// handled here: the editor deselects that output instead.
RoutingChange deleteNode(RoutingState& state, const RoutingNode& node);

} // namespace corvex
