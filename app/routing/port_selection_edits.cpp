#include "routing/port_selection_edits.h"

#include <algorithm>

namespace corvex {

namespace {

bool contains(const std::vector<int>& list, int value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

void merge(RoutingChange& into, const RoutingChange& from) {
    for (int output : from.touchedOutputs) {
        if (!contains(into.touchedOutputs, output)) {
            into.touchedOutputs.push_back(output);
        }
    }
    into.portDataMapsChanged = into.portDataMapsChanged || from.portDataMapsChanged;
}

// Clears the input in every shown output without touching the data maps.
RoutingChange detachInput(RoutingState& state, int input) {
    RoutingChange change;
    for (int output : state.outputs) {
        CPortMap& map = state.mapOf(output);
        const bool wasSet = (map.inputBits[input / 32] >> (input % 32) & 1u) != 0;
        if (wasSet || map.inputMasks[input] != 0) {
            map.inputBits[input / 32] &= ~(1u << (input % 32));
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
        merge(change, disconnectInputPort(state, input));
    }
    state.inputs = after;
    for (int input : difference.added) {
        merge(change, autoAttach ? connectInputPort(state, input) : detachInput(state, input));
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
            merge(change, connectOutputPort(state, output));
            continue;
        }
        for (int input : state.inputs) {
            merge(change, disconnect(state, input, output));
        }
        merge(change, connect(state, kEventsInput, output));
    }
    return change;
}

} // namespace corvex
