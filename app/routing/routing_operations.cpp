#include "routing/routing_operations.h"

#include "devices/port_routing_bits.h"

#include <algorithm>

namespace corvex {

namespace {

void touch(RoutingChange& change, int output) {
    if (std::find(change.touchedOutputs.begin(), change.touchedOutputs.end(), output) ==
        change.touchedOutputs.end()) {
        change.touchedOutputs.push_back(output);
    }
}

void merge(RoutingChange& into, const RoutingChange& from) {
    for (int output : from.touchedOutputs) {
        touch(into, output);
    }
    into.portDataMapsChanged = into.portDataMapsChanged || from.portDataMapsChanged;
}

bool validInput(int input) {
    return input >= 0 && input <= kEventsInput;
}

} // namespace

std::vector<int> RoutingState::inputsWithEvents() const {
    std::vector<int> all = inputs;
    all.push_back(kEventsInput);
    return all;
}

bool RoutingState::connected(int input, int output) const {
    auto map = outputMaps.find(output);
    return validInput(input) && map != outputMaps.end() && inputConnected(map->second, input);
}

uint32_t RoutingState::mask(int input, int output) const {
    return connected(input, output) ? outputMaps.at(output).inputMasks[input] : 0;
}

RoutingChange connect(RoutingState& state, int input, int output) {
    RoutingChange change;
    if (!validInput(input) || state.connected(input, output)) {
        return change;
    }
    connectInput(state.mapOf(output), input, kConnectRouteMask);
    touch(change, output);
    return change;
}

RoutingChange connectAll(RoutingState& state) {
    RoutingChange change;
    for (int output : state.outputs) {
        merge(change, connectOutputPort(state, output));
    }
    return change;
}

RoutingChange connectInputPort(RoutingState& state, int input) {
    RoutingChange change;
    for (int output : state.outputs) {
        merge(change, connect(state, input, output));
    }
    return change;
}

RoutingChange connectOutputPort(RoutingState& state, int output) {
    RoutingChange change;
    for (int input : state.inputsWithEvents()) {
        merge(change, connect(state, input, output));
    }
    return change;
}

RoutingChange disconnect(RoutingState& state, int input, int output) {
    RoutingChange change;
    if (!validInput(input)) {
        return change;
    }
    if (state.outputMaps.count(output) != 0) {
        CPortMap& map = state.mapOf(output);
        if (inputConnected(map, input) || map.inputMasks[input] != 0) {
            setInputConnected(map, input, false);
            map.inputMasks[input] = 0;
            touch(change, output);
        }
    }
    change.portDataMapsChanged = state.portDataMap.remove(output, input);
    return change;
}

RoutingChange disconnectAll(RoutingState& state) {
    RoutingChange change;
    for (int output : state.outputs) {
        state.mapOf(output) = CPortMap{};
        touch(change, output);
    }
    change.portDataMapsChanged = !state.portDataMap.entries().empty();
    state.portDataMap.clear();
    return change;
}

RoutingChange disconnectInputPort(RoutingState& state, int input) {
    RoutingChange change;
    for (int output : state.outputs) {
        merge(change, disconnect(state, input, output));
    }
    return change;
}

RoutingChange disconnectOutputPort(RoutingState& state, int output) {
    RoutingChange change;
    state.mapOf(output) = CPortMap{};
    touch(change, output);
    for (int input : state.inputsWithEvents()) {
        change.portDataMapsChanged =
            state.portDataMap.remove(output, input) || change.portDataMapsChanged;
    }
    return change;
}

RoutingChange setConnectionProperties(RoutingState& state, int input, int output, uint32_t mask,
                                      const std::optional<std::string>& mapFile) {
    RoutingChange change;
    if (!validInput(input)) {
        return change;
    }
    CPortMap& map = state.mapOf(output);
    map.inputMasks[input] = mask;
    setInputConnected(map, input, true);
    touch(change, output);
    state.portDataMap.remove(output, input);
    if (mapFile && !mapFile->empty()) {
        state.portDataMap.add(output, input, *mapFile);
    }
    change.portDataMapsChanged = true;
    return change;
}

void applyRoutingChange(const RoutingState& state, const RoutingChange& change,
                        RoutingEffects& effects) {
    if (change.touchedOutputs.empty() && !change.portDataMapsChanged) {
        return;
    }
    for (int output : change.touchedOutputs) {
        auto map = state.outputMaps.find(output);
        effects.updatePortMap(output, map != state.outputMaps.end() ? map->second : CPortMap{});
    }
    if (change.portDataMapsChanged) {
        effects.storeAndResendPortDataMaps(state.portDataMap);
    }
    effects.copyToSettings(state);
    effects.redrawViews();
}

} // namespace corvex
