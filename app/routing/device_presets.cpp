#include "routing/device_presets.h"

#include "devices/port_routing_bits.h"
#include "routing/routing_operations.h"
#include "settings/port_names.h"
#include "settings/settings_profile.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace corvex {

namespace {

constexpr char kLastNamedPreset[] = "LastNamedPreset";
constexpr size_t kMaxPresetPorts = 136;

std::string presetKey(const std::string& name) {
    return joinKeyPath(kDevicePresetsKey, name);
}

std::vector<std::string> readNames(const SettingsTree& tree, const std::string& key,
                                   const char* prefix) {
    std::vector<std::string> names;
    while (names.size() < kMaxPresetPorts) {
        std::optional<std::string> name = tree.string(key, numberedName(prefix, names.size() + 1));
        if (!name) {
            break;
        }
        names.push_back(limitPortName(*name));
    }
    return names;
}

CPortMap presetDefaultMap(size_t inputCount) {
    CPortMap map{};
    for (size_t input = 0; input < inputCount && input < kEventsInput; ++input) {
        connectInput(map, static_cast<int>(input), kConnectRouteMask);
    }
    connectInput(map, kEventsInput, kConnectRouteMask);
    return map;
}

// Device index of each name: the first match not taken yet, -1 when none.
std::vector<int> matchNames(const std::vector<std::string>& names,
                            const std::vector<std::string>& present) {
    std::vector<bool> taken(present.size(), false);
    std::vector<int> indices;
    for (const std::string& name : names) {
        int found = -1;
        for (size_t i = 0; i < present.size() && !name.empty(); ++i) {
            if (!taken[i] && present[i] == name) {
                taken[i] = true;
                found = static_cast<int>(i);
                break;
            }
        }
        indices.push_back(found);
    }
    return indices;
}

} // namespace

bool DevicePreset::operator==(const DevicePreset& other) const {
    if (inputs != other.inputs || outputs != other.outputs || routeMaps != other.routeMaps ||
        outputMaps.size() != other.outputMaps.size()) {
        return false;
    }
    for (size_t i = 0; i < outputMaps.size(); ++i) {
        if (std::memcmp(&outputMaps[i], &other.outputMaps[i], sizeof(CPortMap)) != 0) {
            return false;
        }
    }
    return true;
}

std::vector<std::string> devicePresetNames(const SettingsTree& tree) {
    return tree.subkeys(kDevicePresetsKey);
}

std::optional<std::string> findDevicePreset(const SettingsTree& tree, const std::string& name) {
    for (const std::string& stored : devicePresetNames(tree)) {
        if (equalsNoCase(stored, name)) {
            return stored;
        }
    }
    return std::nullopt;
}

void saveDevicePreset(SettingsTree& tree, const std::string& name, const DevicePreset& preset) {
    if (auto existing = findDevicePreset(tree, name)) {
        tree.removeKey(presetKey(*existing));
    }
    const std::string key = presetKey(name);
    tree.createKey(key);
    for (size_t i = 0; i < preset.inputs.size() && i < kMaxPresetPorts; ++i) {
        tree.setString(key, numberedName("In", i + 1), preset.inputs[i]);
    }
    for (size_t i = 0; i < preset.outputs.size() && i < kMaxPresetPorts; ++i) {
        tree.setString(key, numberedName("Out", i + 1), preset.outputs[i]);
        const CPortMap map = i < preset.outputMaps.size() ? preset.outputMaps[i]
                                                          : presetDefaultMap(preset.inputs.size());
        tree.setBinary(key, numberedName("OutMap", i + 1), &map, sizeof(CPortMap));
    }
    for (const StoredRouteMap& entry : preset.routeMaps) {
        tree.setString(key, portDataMapName(entry.outputPosition, entry.inputPosition), entry.path);
    }
    tree.setString(kDevicePresetsKey, kLastNamedPreset, name);
}

std::optional<DevicePreset> loadDevicePreset(SettingsTree& tree, const std::string& name) {
    std::optional<std::string> stored = findDevicePreset(tree, name);
    if (!stored) {
        return std::nullopt;
    }
    const std::string key = presetKey(*stored);
    DevicePreset preset;
    preset.inputs = readNames(tree, key, "In");
    preset.outputs = readNames(tree, key, "Out");
    for (size_t output = 1; output <= preset.outputs.size(); ++output) {
        std::optional<std::vector<uint8_t>> bytes =
            tree.binary(key, numberedName("OutMap", output), sizeof(CPortMap));
        CPortMap map = presetDefaultMap(preset.inputs.size());
        if (bytes) {
            CPortMap record{};
            std::memcpy(&record, bytes->data(), sizeof(CPortMap));
            map = portMapFromStoredMasks(record, preset.inputs.size());
        }
        preset.outputMaps.push_back(map);
        for (int input = 0; input <= static_cast<int>(preset.inputs.size()); ++input) {
            std::optional<std::string> path =
                tree.string(key, portDataMapName(static_cast<int>(output), input));
            if (path && isUsablePortDataMap(*path)) {
                preset.routeMaps.push_back({static_cast<int>(output), input, *path});
            }
        }
    }
    tree.setString(kDevicePresetsKey, kLastNamedPreset, *stored);
    return preset;
}

bool deleteDevicePreset(SettingsTree& tree, const std::string& name) {
    std::optional<std::string> stored = findDevicePreset(tree, name);
    if (!stored) {
        return false;
    }
    tree.removeKey(presetKey(*stored));
    if (equalsNoCase(lastNamedPreset(tree), *stored)) {
        tree.setString(kDevicePresetsKey, kLastNamedPreset, "");
    }
    return true;
}

std::string lastNamedPreset(const SettingsTree& tree) {
    return tree.string(kDevicePresetsKey, kLastNamedPreset).value_or("");
}

PresetRouting presetRouting(const DevicePreset& preset,
                            const std::vector<std::string>& presentInputs,
                            const std::vector<std::string>& presentOutputs) {
    PresetRouting routing;
    const std::vector<int> inputIndex = matchNames(preset.inputs, presentInputs);
    const std::vector<int> outputIndex = matchNames(preset.outputs, presentOutputs);
    for (int index : inputIndex) {
        if (index >= 0) {
            routing.inputs.push_back(index);
        }
    }
    for (size_t o = 0; o < preset.outputs.size(); ++o) {
        if (outputIndex[o] < 0) {
            continue;
        }
        const CPortMap& stored = preset.outputMaps[o];
        CPortMap map{};
        for (size_t position = 0; position < inputIndex.size() && position < kEventsInput;
             ++position) {
            if (inputIndex[position] >= 0 && stored.inputMasks[position] != 0) {
                connectInput(map, inputIndex[position], stored.inputMasks[position]);
            }
        }
        if (stored.inputMasks[kEventsInput] != 0) {
            connectInput(map, kEventsInput, stored.inputMasks[kEventsInput]);
        }
        routing.outputs.push_back(outputIndex[o]);
        routing.outputMaps.emplace_back(outputIndex[o], map);
    }
    for (const StoredRouteMap& entry : preset.routeMaps) {
        const size_t o = static_cast<size_t>(entry.outputPosition - 1);
        const size_t i = static_cast<size_t>(entry.inputPosition - 1);
        if (o >= outputIndex.size() || outputIndex[o] < 0) {
            continue;
        }
        const int input = entry.inputPosition == 0 ? kEventsInput
                          : i < inputIndex.size()  ? inputIndex[i]
                                                   : -1;
        if (input >= 0) {
            routing.routeMaps.push_back({outputIndex[o], input, entry.path});
        }
    }
    return routing;
}

namespace {

std::string nameOf(const std::vector<std::string>& names, int index) {
    return index >= 0 && static_cast<size_t>(index) < names.size() ? names[index] : std::string();
}

} // namespace

DevicePreset devicePresetOf(const RoutingState& state, const std::vector<std::string>& inputNames,
                            const std::vector<std::string>& outputNames) {
    DevicePreset preset;
    for (int input : state.inputs) {
        preset.inputs.push_back(nameOf(inputNames, input));
    }
    for (size_t o = 0; o < state.outputs.size(); ++o) {
        const int output = state.outputs[o];
        preset.outputs.push_back(nameOf(outputNames, output));
        CPortMap map{};
        for (size_t position = 0; position < state.inputs.size() && position < kEventsInput;
             ++position) {
            if (state.connected(state.inputs[position], output)) {
                connectInput(map, static_cast<int>(position),
                             state.mask(state.inputs[position], output));
            }
        }
        if (state.connected(kEventsInput, output)) {
            connectInput(map, kEventsInput, state.mask(kEventsInput, output));
        }
        preset.outputMaps.push_back(map);
        const std::vector<int> inputs = state.inputsWithEvents();
        for (size_t position = 0; position < inputs.size(); ++position) {
            if (std::optional<std::string> path =
                    state.portDataMap.find(output, inputs[position])) {
                const int stored = inputs[position] == kEventsInput ? 0 : int(position) + 1;
                preset.routeMaps.push_back({static_cast<int>(o) + 1, stored, *path});
            }
        }
    }
    return preset;
}

namespace {

std::vector<std::string> sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

// The preset's data maps by port names, paths in lower case, sorted: independent of the
// order the ports are listed in.
std::vector<std::string> dataMapsByName(const DevicePreset& preset) {
    std::vector<std::string> keys;
    for (const StoredRouteMap& entry : preset.routeMaps) {
        const size_t o = static_cast<size_t>(entry.outputPosition - 1);
        const size_t i = static_cast<size_t>(entry.inputPosition - 1);
        std::string path = entry.path;
        std::transform(path.begin(), path.end(), path.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        keys.push_back((o < preset.outputs.size() ? preset.outputs[o] : "") + '\n' +
                       (entry.inputPosition == 0   ? std::string(1, '\0')
                        : i < preset.inputs.size() ? preset.inputs[i]
                                                   : "") +
                       '\n' + path);
    }
    return sorted(keys);
}

} // namespace

bool presetMatches(const DevicePreset& preset, const RoutingState& state,
                   const std::vector<std::string>& inputNames,
                   const std::vector<std::string>& outputNames) {
    const DevicePreset current = devicePresetOf(state, inputNames, outputNames);
    return sorted(current.inputs) == sorted(preset.inputs) &&
           sorted(current.outputs) == sorted(preset.outputs) &&
           dataMapsByName(current) == dataMapsByName(preset);
}

} // namespace corvex
