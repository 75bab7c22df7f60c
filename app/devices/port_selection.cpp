#include "port_selection.h"

#include "port_routing_bits.h"
#include "selection_memory.h"

#include <algorithm>

namespace corvex {

namespace {

template <typename Port> std::vector<Port*> selectedInOrder(std::vector<Port*> ports) {
    std::erase_if(ports, [](const Port* port) { return !port->selected(); });
    std::stable_sort(ports.begin(), ports.end(), [](const Port* a, const Port* b) {
        return a->selectionOrder() < b->selectionOrder();
    });
    return ports;
}

std::vector<const CMidiIn*> inputsOf(const DeviceRoster& roster) {
    std::vector<const CMidiIn*> ports;
    for (int slot = 0; slot < roster.inputCount(); ++slot) {
        ports.push_back(&roster.input(slot));
    }
    return ports;
}

std::vector<const CMidiOut*> outputsOf(const DeviceRoster& roster) {
    std::vector<const CMidiOut*> ports;
    for (int slot = 0; slot < roster.outputCount(); ++slot) {
        ports.push_back(&roster.output(slot));
    }
    return ports;
}

void renameIn(std::vector<std::string>& stored, const std::vector<std::string>& before,
              const std::vector<std::string>& after) {
    for (std::string& name : stored) {
        auto at = std::find(before.begin(), before.end(), name);
        if (at != before.end()) {
            name = after[static_cast<size_t>(at - before.begin())];
        }
    }
}

} // namespace

void PortSelection::restore() {
    for (int slot = 0; slot < DeviceRoster::kPortObjects; ++slot) {
        roster_.input(slot).deselect();
        roster_.output(slot).deselect();
    }
    const StoredSelection& stored = remembered_;
    for (size_t position = 0; position < stored.inputs.size(); ++position) {
        if (CMidiIn* input = roster_.findInput(stored.inputs[position])) {
            input->select(static_cast<int>(position));
        }
    }
    bool first = true;
    for (size_t position = 0; position < stored.outputs.size(); ++position) {
        CMidiOut* output = roster_.findOutput(stored.outputs[position]);
        if (output == nullptr) {
            continue;
        }
        output->select(static_cast<int>(position));
        const std::optional<CPortMap> map =
            position < stored.outputMaps.size() ? stored.outputMaps[position] : std::nullopt;
        restoreOutput(*output, map, first);
        first = false;
    }
    restoreRouteMaps();
}

void PortSelection::restoreRouteMaps() {
    const StoredSelection& stored = remembered_;
    portDataMap_.clear();
    for (const StoredRouteMap& route : stored.routeMaps) {
        if (route.outputPosition < 1 ||
            static_cast<size_t>(route.outputPosition) > stored.outputs.size() ||
            route.inputPosition < 0 ||
            static_cast<size_t>(route.inputPosition) > stored.inputs.size()) {
            continue;
        }
        CMidiOut* output = roster_.findOutput(stored.outputs[route.outputPosition - 1]);
        CMidiIn* input = route.inputPosition == 0
                             ? nullptr
                             : roster_.findInput(stored.inputs[route.inputPosition - 1]);
        if (output == nullptr || (route.inputPosition != 0 && input == nullptr)) {
            continue;
        }
        portDataMap_.add(output->deviceIndex(),
                         input == nullptr ? kGeneratedPort : input->deviceIndex(), route.path);
    }
}

// Stored maps are indexed by input position; the output's map by engine index.
void PortSelection::restoreOutput(CMidiOut& output, const std::optional<CPortMap>& stored,
                                  bool first) {
    CPortMap& map = output.portMap();
    map = CPortMap{};
    if (!stored) {
        // No stored routing: the first output gets every selected input, all outputs get
        // the generated events.
        if (first) {
            for (int slot = 0; slot < roster_.inputCount(); ++slot) {
                if (roster_.input(slot).selected()) {
                    connectInput(map, roster_.input(slot).deviceIndex(), kDefaultRouteMask);
                }
            }
        }
        connectInput(map, kGeneratedPort, kDefaultRouteMask);
        return;
    }
    const std::vector<std::string>& names = remembered_.inputs;
    for (size_t position = 0; position < names.size() && position < kGeneratedPort; ++position) {
        const uint32_t mask = stored->inputMasks[position];
        CMidiIn* input = roster_.findInput(names[position]);
        if (mask != 0 && input != nullptr) {
            connectInput(map, input->deviceIndex(), mask);
        }
    }
    map.inputMasks[kGeneratedPort] = stored->inputMasks[kGeneratedPort];
    map.inputBits[kGeneratedPort / 32] |=
        stored->inputBits[kGeneratedPort / 32] & (1u << (kGeneratedPort % 32));
}

bool PortSelection::failed(int deviceIndex) const {
    return std::find(failedInputs_.begin(), failedInputs_.end(), deviceIndex) !=
           failedInputs_.end();
}

StoredSelection PortSelection::selectionOfPorts() const {
    StoredSelection selection;
    const std::vector<const CMidiIn*> inputs = selectedInOrder(inputsOf(roster_));
    const std::vector<const CMidiOut*> outputs = selectedInOrder(outputsOf(roster_));
    for (const CMidiIn* input : inputs) {
        selection.inputs.push_back(input->displayName());
    }
    for (size_t out = 0; out < outputs.size(); ++out) {
        const CMidiOut& output = *outputs[out];
        selection.outputs.push_back(output.displayName());
        const CPortMap& live = output.portMap();
        CPortMap stored{};
        for (size_t in = 0; in < inputs.size(); ++in) {
            const int index = inputs[in]->deviceIndex();
            // An input that failed to open keeps its routing for the next time.
            if (live.inputMasks[index] != 0 && (inputConnected(live, index) || failed(index))) {
                connectInput(stored, static_cast<int>(in), live.inputMasks[index]);
            }
        }
        if (inputConnected(live, kGeneratedPort)) {
            connectInput(stored, kGeneratedPort, live.inputMasks[kGeneratedPort]);
        }
        selection.outputMaps.push_back(stored);
        for (const CPortDataMap::Entry& entry : portDataMap_.entries()) {
            if (entry.output != output.deviceIndex()) {
                continue;
            }
            if (entry.input == kGeneratedPort) {
                selection.routeMaps.push_back({static_cast<int>(out) + 1, 0, entry.path});
            }
            for (size_t in = 0; in < inputs.size(); ++in) {
                if (inputs[in]->deviceIndex() == entry.input) {
                    selection.routeMaps.push_back(
                        {static_cast<int>(out) + 1, static_cast<int>(in) + 1, entry.path});
                }
            }
        }
    }
    return selection;
}

StoredSelection PortSelection::save() {
    remembered_ = mergeSelections(selectionOfPorts(), remembered_, roster_.inputNames(),
                                  roster_.outputNames());
    return remembered_;
}

void PortSelection::renameStored(const std::vector<std::string>& inputsBefore,
                                 const std::vector<std::string>& outputsBefore) {
    renameIn(remembered_.inputs, inputsBefore, roster_.inputNames());
    renameIn(remembered_.outputs, outputsBefore, roster_.outputNames());
}

void PortSelection::reconnectFailedInputs() {
    for (const int deviceIndex : failedInputs_) {
        for (int slot = 0; slot < roster_.outputCount(); ++slot) {
            CMidiOut& output = roster_.output(slot);
            if (output.selected() && output.portMap().inputMasks[deviceIndex] != 0) {
                setInputConnected(output.portMap(), deviceIndex, true);
            }
        }
    }
    failedInputs_.clear();
}

void PortSelection::inputFailed(int deviceIndex) {
    failedInputs_.push_back(deviceIndex);
    for (int slot = 0; slot < roster_.outputCount(); ++slot) {
        CMidiOut& output = roster_.output(slot);
        if (output.selected()) {
            setInputConnected(output.portMap(), deviceIndex, false);
        }
    }
}

} // namespace corvex
