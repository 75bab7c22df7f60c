#include "routing/port_mapping_tree.h"

#include "devices/port_routing_bits.h"

#include <algorithm>
#include <array>

namespace corvex {

namespace {

constexpr uint32_t kChannelBits = 0xFFFF;
constexpr std::array<uint32_t, 3> kSystemBits = {CVX_ROUTE_SYSEX, CVX_ROUTE_REALTIME,
                                                 CVX_ROUTE_SYSTEM_COMMON};
constexpr std::array<const char*, 3> kSystemNames = {"SysEx", "Realtime", "Common"};
constexpr uint32_t kSystemMask = CVX_ROUTE_SYSEX | CVX_ROUTE_REALTIME | CVX_ROUTE_SYSTEM_COMMON;

RoutingNode node(NodeKind kind, int index, std::string text, int output = -1, int input = -1) {
    RoutingNode made;
    made.kind = kind;
    made.index = index;
    made.text = std::move(text);
    made.output = output;
    made.input = input;
    return made;
}

// "Channels" with the channels of `mask` (all when `mask` is every channel).
RoutingNode channelsNode(uint32_t mask, int output, int input) {
    RoutingNode group = node(NodeKind::Channel, 0, "Channels", output, input);
    for (int channel = 1; channel <= 16; ++channel) {
        if ((mask >> (channel - 1) & 1u) != 0) {
            group.children.push_back(
                node(NodeKind::Channel, channel, std::to_string(channel), output, input));
        }
    }
    return group;
}

RoutingNode systemNode(uint32_t mask, int output, int input) {
    RoutingNode group = node(NodeKind::SystemItem, 0, "System", output, input);
    for (size_t item = 0; item < kSystemBits.size(); ++item) {
        if ((mask & kSystemBits[item]) != 0) {
            group.children.push_back(node(NodeKind::SystemItem, static_cast<int>(item) + 1,
                                          kSystemNames[item], output, input));
        }
    }
    return group;
}

std::string fileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

RoutingNode connectionNode(const RoutingState& state, int output, int input,
                           const PortNamer& inputName) {
    const bool events = input == kEventsInput;
    RoutingNode made = node(events ? NodeKind::CvxPort : NodeKind::InPort, input,
                            events ? "Corvex Events" : inputName(input), output, input);
    const uint32_t mask = state.mask(input, output);
    if ((mask & kChannelBits) != 0) {
        made.children.push_back(channelsNode(mask, output, input));
    }
    if ((mask & kSystemMask) != 0) {
        made.children.push_back(systemNode(mask, output, input));
    }
    if (std::optional<std::string> path = state.portDataMap.find(output, input)) {
        RoutingNode map = node(NodeKind::DataMap, 0, fileNameOf(*path), output, input);
        map.mapFile = map.text;
        made.children.push_back(map);
    }
    return made;
}

bool isPort(NodeKind kind) {
    return kind == NodeKind::InPort || kind == NodeKind::CvxPort;
}

// The mask bits a channel or system node stands for.
uint32_t bitsOf(const RoutingNode& item) {
    if (item.kind == NodeKind::Channel) {
        return item.index == 0 ? kChannelBits : 1u << (item.index - 1);
    }
    return item.index == 0 ? kSystemMask : kSystemBits[static_cast<size_t>(item.index - 1)];
}

RoutingChange setMask(RoutingState& state, int output, int input, uint32_t mask) {
    RoutingChange change;
    CPortMap& map = state.mapOf(output);
    if (map.inputMasks[input] != mask) {
        map.inputMasks[input] = mask;
        change.touch(output);
    }
    return change;
}

} // namespace

std::vector<RoutingNode> portMappingTree(RoutingState& state, const PortNamer& outputName,
                                         const PortNamer& inputName, RoutingChange& change) {
    std::vector<RoutingNode> tree;
    for (int output : state.outputs) {
        RoutingNode out = node(NodeKind::OutPort, output, outputName(output), output);
        for (int input : state.inputsWithEvents()) {
            if (!state.connected(input, output)) {
                continue;
            }
            if (state.mask(input, output) == 0) {
                change.include(disconnect(state, input, output));
                continue;
            }
            out.children.push_back(connectionNode(state, output, input, inputName));
        }
        tree.push_back(std::move(out));
    }
    return tree;
}

std::vector<RoutingNode> paletteTree(const RoutingState& state, const PortNamer& inputName,
                                     const std::vector<std::string>& mapFiles) {
    std::vector<RoutingNode> palette{channelsNode(kChannelBits, -1, -1),
                                     systemNode(kSystemMask, -1, -1)};
    for (int input : state.inputs) {
        palette.push_back(node(NodeKind::InPort, input, inputName(input)));
    }
    palette.push_back(node(NodeKind::CvxPort, kEventsInput, "Corvex Events"));
    for (const std::string& file : mapFiles) {
        RoutingNode map = node(NodeKind::DataMap, 0, file);
        map.mapFile = file;
        palette.push_back(std::move(map));
    }
    return palette;
}

std::string deleteCommandText(NodeKind kind) {
    static constexpr std::array<const char*, 6> kNames = {"In Port",     "Out Port", "Channel",
                                                          "System Item", "CVX Port", "Data Map"};
    return std::string("&Delete ") + kNames[static_cast<size_t>(kind)];
}

bool dropAllowed(const RoutingNode& dragged, const RoutingNode& target) {
    switch (dragged.kind) {
    case NodeKind::InPort:
    case NodeKind::CvxPort:
        return target.kind == NodeKind::OutPort;
    case NodeKind::Channel:
    case NodeKind::SystemItem:
        return isPort(target.kind) || (target.kind == dragged.kind && target.index == 0);
    case NodeKind::DataMap:
        return isPort(target.kind);
    case NodeKind::OutPort:
        return false;
    }
    return false;
}

RoutingChange dropNode(RoutingState& state, const RoutingNode& dragged, const RoutingNode& target,
                       const std::string& mapFolder) {
    if (!dropAllowed(dragged, target)) {
        return {};
    }
    if (isPort(dragged.kind)) {
        return connect(state, dragged.index, target.index);
    }
    const int output = target.output;
    const int input = target.input;
    if (!state.connected(input, output)) {
        return {};
    }
    if (dragged.kind == NodeKind::DataMap) {
        RoutingChange change;
        change.portDataMapsChanged =
            state.portDataMap.add(output, input, mapFolder + "/" + dragged.mapFile);
        return change;
    }
    return setMask(state, output, input, state.mask(input, output) | bitsOf(dragged));
}

RoutingChange deleteNode(RoutingState& state, const RoutingNode& node) {
    if (node.kind == NodeKind::OutPort || !state.connected(node.input, node.output)) {
        return {};
    }
    if (isPort(node.kind)) {
        return disconnect(state, node.input, node.output);
    }
    if (node.kind == NodeKind::DataMap) {
        RoutingChange change;
        change.portDataMapsChanged = state.portDataMap.remove(node.output, node.input);
        return change;
    }
    return setMask(state, node.output, node.input,
                   state.mask(node.input, node.output) & ~bitsOf(node));
}

} // namespace corvex
