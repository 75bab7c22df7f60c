#include "routing/routing_operations.h"

#include "devices/port_routing_bits.h"

#include <algorithm>

namespace corvex {

namespace {

// The changes of `operation` applied to each of `ports`, together.
template <typename Operation>
RoutingChange forEach(const std::vector<int>& ports, Operation operation) {
    RoutingChange change;
    for (int port : ports) {
        change.include(operation(port));
    }
    return change;
}

bool validInput(int input) {
    return input >= 0 && input <= kEventsInput;
}

} // namespace

void RoutingChange::touch(int output) {
    if (std::find(touchedOutputs.begin(), touchedOutputs.end(), output) == touchedOutputs.end()) {
        touchedOutputs.push_back(output);
    }
}

void RoutingChange::include(const RoutingChange& other) {
    for (int output : other.touchedOutputs) {
        touch(output);
    }
    portDataMapsChanged = portDataMapsChanged || other.portDataMapsChanged;
}

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
    change.touch(output);
    return change;
}

RoutingChange connectAll(RoutingState& state) {
    return forEach(state.outputs, [&](int output) { return connectOutputPort(state, output); });
}

RoutingChange connectInputPort(RoutingState& state, int input) {
    return forEach(state.outputs, [&](int output) { return connect(state, input, output); });
}

RoutingChange connectOutputPort(RoutingState& state, int output) {
    return forEach(state.inputsWithEvents(),
                   [&](int input) { return connect(state, input, output); });
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
            change.touch(output);
        }
    }
    change.portDataMapsChanged = state.portDataMap.remove(output, input);
    return change;
}

RoutingChange disconnectAll(RoutingState& state) {
    RoutingChange change;
    for (int output : state.outputs) {
        state.mapOf(output) = CPortMap{};
        change.touch(output);
    }
    change.portDataMapsChanged = !state.portDataMap.entries().empty();
    state.portDataMap.clear();
    return change;
}

RoutingChange disconnectInputPort(RoutingState& state, int input) {
    return forEach(state.outputs, [&](int output) { return disconnect(state, input, output); });
}

RoutingChange disconnectOutputPort(RoutingState& state, int output) {
    RoutingChange change;
    state.mapOf(output) = CPortMap{};
    change.touch(output);
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
    change.touch(output);
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
