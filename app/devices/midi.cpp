// The device manager's port objects: enumeration, names and the stored selection.
#include "midi.h"

#include "cvxlib.h"
#include "gm_patch_names.h"
#include "ini/engine_settings.h"
#include "selection_memory.h"

#include <algorithm>

namespace corvex {

namespace {

bool isConnected(const CPortMap& map, int input) {
    return (map.inputBits[input / 32] >> (input % 32) & 1u) != 0;
}

void connect(CPortMap& map, int input, uint32_t mask) {
    map.inputMasks[input] = mask;
    map.inputBits[input / 32] |= 1u << (input % 32);
}

template <typename Port>
std::vector<Port*>
selectedInOrder(const std::array<std::unique_ptr<Port>, CMidi::kPortObjects>& ports, int count) {
    std::vector<Port*> selected;
    for (int slot = 0; slot < count; ++slot) {
        if (ports[slot]->selected()) {
            selected.push_back(ports[slot].get());
        }
    }
    std::stable_sort(selected.begin(), selected.end(), [](const Port* a, const Port* b) {
        return a->selectionOrder() < b->selectionOrder();
    });
    return selected;
}

} // namespace

CMidi::CMidi(DeviceUserInterface& ui, OpenGuardStore& guard, MidiDeviceQuery& query)
    : ui_(ui), guard_(guard), patchNames_(16 * 128) {
    context_.query = &query;
    context_.log = &log_;
    for (int slot = 0; slot < kPortObjects; ++slot) {
        inputs_[slot] = std::make_unique<CMidiIn>(context_);
        outputs_[slot] = std::make_unique<CMidiOut>(context_);
    }
    for (int channel = 0; channel < 16; ++channel) {
        for (int program = 0; program < 128; ++program) {
            patchNames_[channel * 128 + program] = gmProgramName(program);
        }
    }
    log_.configure(deviceLogPath(1), settings_.applicationTitle, settings_.versionText);
}

CMidi::~CMidi() = default;

void CMidi::configure(const DeviceSettings& settings) {
    settings_ = settings;
    remembered_ = settings.selection;
    sysex_ = settings.sysex;
    log_.configure(deviceLogPath(settings.profileNumber), settings.applicationTitle,
                   settings.versionText);
}

bool CMidi::autoOpenEnabled() {
    const std::string path = cvx::profile::engineSettingsPath();
    return path.empty() || cvx::profile::readAutoOpen(path) != 0;
}

uint64_t CMidi::createClient(HWND mainWindow, HINSTANCE instance, const CFilter& filter) {
    mainWindow_ = mainWindow;
    filter_ = filter;
    map_ = SMapper{};
    mapItems_.clear();
    mapPool_.clear();
    lossReport_.restart();
    context_.client = CreateClient(mainWindow, instance, &filter_);
    return context_.client;
}

void CMidi::adoptClient(uint64_t client, const CFilter& filter) {
    filter_ = filter;
    lossReport_.restart();
    context_.client = client;
}

void CMidi::destroyClient() {
    if (context_.client != 0) {
        DestroyClient(context_.client);
        context_.client = 0;
    }
}

// ---- Enumeration -----------------------------------------------------------------------------

void CMidi::enumerateDevices() {
    // Open handles would not survive the rebuild: the indices may change under them.
    if (openInputCount() + openOutputCount() > 0) {
        closePorts();
    }
    resetPorts();
    log_.start();
    log_.line("         Query Devices...");
    std::string notice;
    enumerateInputs(notice);
    enumerateOutputs(notice);
    log_.close();
    if (!notice.empty()) {
        ui_.showWarning(notice);
    }
}

void CMidi::enumerateInputs(std::string& notice) {
    const unsigned platformCount = context_.query->inputCount();
    if (platformCount == 0) {
        notice += "There are no MIDI input devices.\n\n";
    }
    // Indices from 135 on cannot be engine inputs (135 is the generated-event port).
    const unsigned usable = std::min<unsigned>(platformCount, kMaxDevices);
    int used = 0;
    std::vector<std::string> names;
    for (unsigned device = 0; device < usable; ++device) {
        if (inputs_[used]->QueryCaps(static_cast<int>(device)) != 0) {
            names.push_back(inputs_[used]->productName());
            ++used;
        }
    }
    numberDuplicateNames(names);
    for (int slot = 0; slot < used; ++slot) {
        inputs_[slot]->setProductName(names[slot]);
    }
    inputCount_ = used;
}

void CMidi::enumerateOutputs(std::string& notice) {
    const unsigned platformCount = context_.query->outputCount();
    if (platformCount == 0) {
        notice += "There are no MIDI output devices.";
    }
    const unsigned usable = std::min<unsigned>(platformCount, kMaxDevices);
    int used = 0;
    std::vector<std::string> names;
    for (unsigned device = 0; device < usable; ++device) {
        CMidiOut& port = *outputs_[used];
        if (port.QueryCaps(static_cast<int>(device)) != 0) {
            names.push_back(port.productName());
            ++used;
        } else {
            ui_.showWarning(port.queryFailure());
        }
    }
    numberDuplicateNames(names);
    for (int slot = 0; slot < used; ++slot) {
        outputs_[slot]->setProductName(names[slot]);
    }
    // The mapper follows the outputs. Its engine index must not be that of a real output,
    // which it would be if a failed query had left a gap in the device indices.
    const int mapperIndex = used == 0 ? 0 : outputs_[used - 1]->deviceIndex() + 1;
    outputs_[used]->makeMapper(std::min(mapperIndex, kMaxDevices));
    outputCount_ = used + 1;
}

void CMidi::resetPorts() {
    for (int slot = 0; slot < kPortObjects; ++slot) {
        inputs_[slot]->Reset();
        outputs_[slot]->Reset();
    }
    inputCount_ = 0;
    outputCount_ = 0;
    failedInputs_.clear();
}

void CMidi::applyCustomNames() {
    auto apply = [](CMidiPort& port, const std::map<std::string, std::string>& names) {
        auto found = names.find(port.productName());
        const bool custom = found != names.end() && found->second != port.productName();
        port.setCustomName(custom ? found->second : std::string());
    };
    for (int slot = 0; slot < inputCount_; ++slot) {
        apply(*inputs_[slot], settings_.customInputNames);
    }
    for (int slot = 0; slot < outputCount_; ++slot) {
        apply(*outputs_[slot], settings_.customOutputNames);
    }
}

void CMidi::setCustomNames(std::map<std::string, std::string> inputs,
                           std::map<std::string, std::string> outputs) {
    saveSelections(); // under the names in use until now
    std::vector<std::string> oldInputs = inputNames();
    std::vector<std::string> oldOutputs = outputNames();
    settings_.customInputNames = std::move(inputs);
    settings_.customOutputNames = std::move(outputs);
    applyCustomNames();
    auto rename = [](std::vector<std::string>& stored, const std::vector<std::string>& before,
                     const std::vector<std::string>& after) {
        for (std::string& name : stored) {
            auto at = std::find(before.begin(), before.end(), name);
            if (at != before.end()) {
                name = after[static_cast<size_t>(at - before.begin())];
            }
        }
    };
    rename(remembered_.inputs, oldInputs, inputNames());
    rename(remembered_.outputs, oldOutputs, outputNames());
}

CMidiIn* CMidi::findInput(const std::string& displayName) {
    for (int slot = 0; slot < inputCount_; ++slot) {
        if (inputs_[slot]->displayName() == displayName) {
            return inputs_[slot].get();
        }
    }
    return nullptr;
}

CMidiOut* CMidi::findOutput(const std::string& displayName) {
    for (int slot = 0; slot < outputCount_; ++slot) {
        if (outputs_[slot]->displayName() == displayName) {
            return outputs_[slot].get();
        }
    }
    return nullptr;
}

CMidiIn* CMidi::inputAt(int deviceIndex) {
    for (int slot = 0; slot < inputCount_; ++slot) {
        if (inputs_[slot]->deviceIndex() == deviceIndex) {
            return inputs_[slot].get();
        }
    }
    return nullptr;
}

CMidiOut* CMidi::outputAt(int deviceIndex) {
    for (int slot = 0; slot < outputCount_; ++slot) {
        if (outputs_[slot]->deviceIndex() == deviceIndex) {
            return outputs_[slot].get();
        }
    }
    return nullptr;
}

// ---- The stored selection ------------------------------------------------------------------

void CMidi::restoreSelections() {
    for (int slot = 0; slot < kPortObjects; ++slot) {
        inputs_[slot]->deselect();
        outputs_[slot]->deselect();
    }
    const StoredSelection& stored = remembered_;
    for (size_t position = 0; position < stored.inputs.size(); ++position) {
        if (CMidiIn* input = findInput(stored.inputs[position])) {
            input->select(static_cast<int>(position));
        }
    }
    bool first = true;
    for (size_t position = 0; position < stored.outputs.size(); ++position) {
        CMidiOut* output = findOutput(stored.outputs[position]);
        if (output == nullptr) {
            continue;
        }
        output->select(static_cast<int>(position));
        const std::optional<CPortMap> map =
            position < stored.outputMaps.size() ? stored.outputMaps[position] : std::nullopt;
        restoreOutput(*output, map, first);
        first = false;
    }
    portDataMap_.clear();
    for (const StoredRouteMap& route : stored.routeMaps) {
        if (route.outputPosition < 1 ||
            static_cast<size_t>(route.outputPosition) > stored.outputs.size() ||
            route.inputPosition < 0 ||
            static_cast<size_t>(route.inputPosition) > stored.inputs.size()) {
            continue;
        }
        CMidiOut* output = findOutput(stored.outputs[route.outputPosition - 1]);
        CMidiIn* input =
            route.inputPosition == 0 ? nullptr : findInput(stored.inputs[route.inputPosition - 1]);
        if (output == nullptr || (route.inputPosition != 0 && input == nullptr)) {
            continue;
        }
        portDataMap_.add(output->deviceIndex(),
                         input == nullptr ? kGeneratedPort : input->deviceIndex(), route.path);
    }
}

// Stored maps are indexed by input position; the output's map by engine index.
void CMidi::restoreOutput(CMidiOut& output, const std::optional<CPortMap>& stored, bool first) {
    CPortMap& map = output.portMap();
    map = CPortMap{};
    if (!stored) {
        // No stored routing: the first output gets every selected input, all outputs get
        // the generated events.
        if (first) {
            for (int slot = 0; slot < inputCount_; ++slot) {
                if (inputs_[slot]->selected()) {
                    connect(map, inputs_[slot]->deviceIndex(), kDefaultRouteMask);
                }
            }
        }
        connect(map, kGeneratedPort, kDefaultRouteMask);
        return;
    }
    const std::vector<std::string>& names = remembered_.inputs;
    for (size_t position = 0; position < names.size() && position < kGeneratedPort; ++position) {
        const uint32_t mask = stored->inputMasks[position];
        CMidiIn* input = findInput(names[position]);
        if (mask != 0 && input != nullptr) {
            connect(map, input->deviceIndex(), mask);
        }
    }
    map.inputMasks[kGeneratedPort] = stored->inputMasks[kGeneratedPort];
    map.inputBits[kGeneratedPort / 32] |=
        stored->inputBits[kGeneratedPort / 32] & (1u << (kGeneratedPort % 32));
}

StoredSelection CMidi::selectionOfPorts() const {
    StoredSelection selection;
    const std::vector<CMidiIn*> inputs = selectedInOrder(inputs_, inputCount_);
    const std::vector<CMidiOut*> outputs = selectedInOrder(outputs_, outputCount_);
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
            const bool failed =
                std::find(failedInputs_.begin(), failedInputs_.end(), index) != failedInputs_.end();
            // An input that failed to open keeps its routing for the next time.
            if (live.inputMasks[index] != 0 && (isConnected(live, index) || failed)) {
                connect(stored, static_cast<int>(in), live.inputMasks[index]);
            }
        }
        if (isConnected(live, kGeneratedPort)) {
            connect(stored, kGeneratedPort, live.inputMasks[kGeneratedPort]);
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

std::vector<std::string> CMidi::inputNames() const {
    std::vector<std::string> names;
    for (int slot = 0; slot < inputCount_; ++slot) {
        names.push_back(inputs_[slot]->displayName());
    }
    return names;
}

std::vector<std::string> CMidi::outputNames() const {
    std::vector<std::string> names;
    for (int slot = 0; slot < outputCount_; ++slot) {
        names.push_back(outputs_[slot]->displayName());
    }
    return names;
}

StoredSelection CMidi::saveSelections() {
    remembered_ = mergeSelections(selectionOfPorts(), remembered_, inputNames(), outputNames());
    return remembered_;
}

// ---- Patch names ---------------------------------------------------------------------------

const std::string& CMidi::patchName(int channel, int program) const {
    return patchNames_[static_cast<size_t>(channel & 15) * 128 +
                       static_cast<size_t>(program & 127)];
}

void CMidi::setPatchName(int channel, int program, std::string name) {
    patchNames_[static_cast<size_t>(channel & 15) * 128 + static_cast<size_t>(program & 127)] =
        std::move(name);
}

} // namespace corvex
