#include "routing/port_selection_edits.h"

#include "devices/port_routing_bits.h"

#include <algorithm>

namespace corvex {

namespace {

bool contains(const std::vector<int>& list, int value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

// Clears the input in every shown output without touching the data maps.
RoutingChange detachInput(RoutingState& state, int input) {
    RoutingChange change;
    for (int output : state.outputs) {
        CPortMap& map = state.mapOf(output);
        if (inputConnected(map, input) || map.inputMasks[input] != 0) {
            setInputConnected(map, input, false);
            map.inputMasks[input] = 0;
            change.touchedOutputs.push_back(output);
        }
    }
    return change;
}

} // namespace

SelectionDifference selectionDifference(const std::vector<int>& before,
                                        const std::vector<int>& after) {
    SelectionDifference difference;
    for (int index : after) {
        if (!contains(before, index)) {
            difference.added.push_back(index);
        }
    }
    for (int index : before) {
        if (!contains(after, index)) {
            difference.removed.push_back(index);
        }
    }
    return difference;
}

RoutingChange selectInputs(RoutingState& state, const std::vector<int>& after, bool autoAttach) {
    const SelectionDifference difference = selectionDifference(state.inputs, after);
    RoutingChange change;
    for (int input : difference.removed) {
        change.include(disconnectInputPort(state, input));
    }
    state.inputs = after;
    for (int input : difference.added) {
        change.include(autoAttach ? connectInputPort(state, input) : detachInput(state, input));
    }
    return change;
}

RoutingChange selectOutputs(RoutingState& state, const std::vector<int>& after, bool autoAttach,
                            SelectedBy by) {
    const SelectionDifference difference = selectionDifference(state.outputs, after);
    state.outputs = after;
    RoutingChange change;
    if (by == SelectedBy::Program) {
        return change;
    }
    for (int output : difference.added) {
        if (autoAttach) {
            change.include(connectOutputPort(state, output));
            continue;
        }
        for (int input : state.inputs) {
            change.include(disconnect(state, input, output));
        }
        change.include(connect(state, kEventsInput, output));
    }
    return change;
}

} // namespace corvex
