#include "routing/device_routing.h"

#include <algorithm>

namespace corvex {

namespace {

// The device indices of the selected ports of one direction, in selection order.
template <typename PortAt> std::vector<int> selectedInOrder(int count, PortAt portAt) {
    std::vector<std::pair<int, int>> ordered; // selection order, device index
    for (int slot = 0; slot < count; ++slot) {
        const CMidiPort& port = portAt(slot);
        if (port.selected() && port.deviceIndex() >= 0) {
            ordered.emplace_back(port.selectionOrder(), port.deviceIndex());
        }
    }
    std::stable_sort(ordered.begin(), ordered.end());
    std::vector<int> indices;
    for (const auto& [order, index] : ordered) {
        indices.push_back(index);
    }
    return indices;
}

void selectAsListed(CMidiPort& port, const std::vector<int>& selected) {
    const auto at = std::find(selected.begin(), selected.end(), port.deviceIndex());
    if (at == selected.end()) {
        port.deselect();
    } else {
        port.select(static_cast<int>(at - selected.begin()));
    }
}

} // namespace

RoutingState routingStateOf(const DeviceRoster& roster, const PortSelection& selection) {
    RoutingState state;
    state.inputs = selectedInOrder(roster.inputCount(), [&roster](int slot) -> const CMidiPort& {
        return roster.input(slot);
    });
    state.outputs = selectedInOrder(roster.outputCount(), [&roster](int slot) -> const CMidiPort& {
        return roster.output(slot);
    });
    for (int slot = 0; slot < roster.outputCount(); ++slot) {
        const CMidiOut& output = roster.output(slot);
        if (output.deviceIndex() >= 0) {
            state.outputMaps[output.deviceIndex()] = output.portMap();
        }
    }
    state.portDataMap = selection.portDataMap();
    return state;
}

void applyRoutingState(const RoutingState& state, DeviceRoster& roster, PortSelection& selection) {
    for (int slot = 0; slot < roster.inputCount(); ++slot) {
        selectAsListed(roster.input(slot), state.inputs);
    }
    for (int slot = 0; slot < roster.outputCount(); ++slot) {
        CMidiOut& output = roster.output(slot);
        selectAsListed(output, state.outputs);
        if (auto map = state.outputMaps.find(output.deviceIndex()); map != state.outputMaps.end()) {
            output.portMap() = map->second;
        }
    }
    selection.portDataMap() = state.portDataMap;
}

std::vector<std::string> portNamesByIndex(const DeviceRoster& roster, bool inputs) {
    std::vector<std::string> names;
    const int count = inputs ? roster.inputCount() : roster.outputCount();
    for (int slot = 0; slot < count; ++slot) {
        const CMidiPort& port = inputs ? static_cast<const CMidiPort&>(roster.input(slot))
                                       : static_cast<const CMidiPort&>(roster.output(slot));
        const int index = port.deviceIndex();
        if (index < 0) {
            continue;
        }
        if (names.size() <= static_cast<size_t>(index)) {
            names.resize(static_cast<size_t>(index) + 1);
        }
        names[static_cast<size_t>(index)] = port.displayName();
    }
    return names;
}

} // namespace corvex
