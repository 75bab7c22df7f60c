// Named device presets in the settings store (key "DevicePresets", one subkey per preset):
// the selected input and output names ("In%d", "Out%d"), each output's 564-byte map
// ("OutMap%d") indexed by input position (index 135 is "Corvex Events") and the data maps
// ("DataMap_Out%d_In%d", "DataMap_Out%d_CVX"). "LastNamedPreset" in "DevicePresets" names
// the preset last saved or loaded; it is kept there only.
//
// Plain functions over a SettingsTree: user-interface thread only.
#pragma once

#include "devices/device_settings.h"
#include "routing/routing_operations.h"

#include "settings/settings_tree.h"

#include <string>
#include <vector>

namespace corvex {

inline constexpr char kDevicePresetsKey[] = "DevicePresets";

// A preset as stored, ports by name. Every output has a map: one without a stored map gets
// every preset input and "Corvex Events" with the connect mask.
struct DevicePreset {
    std::vector<std::string> inputs;
    std::vector<std::string> outputs;
    std::vector<CPortMap> outputMaps; // one per output, by input position
    std::vector<StoredRouteMap> routeMaps;

    bool operator==(const DevicePreset& other) const;
};

// Preset names in the store's order.
std::vector<std::string> devicePresetNames(const SettingsTree& tree);
// The stored name of a preset called `name` (compared without regard to case), if any.
std::optional<std::string> findDevicePreset(const SettingsTree& tree, const std::string& name);

// Replaces a preset of that name (any case) with `preset` and makes it the last named one.
// The caller asks "Overwrite Preset: '%s'?" first when findDevicePreset() finds it.
void saveDevicePreset(SettingsTree& tree, const std::string& name, const DevicePreset& preset);
// Reads the preset; names are read until the first missing number (at most 136); empty
// and repeated names keep their place (they match no present port) so positions stay true;
// data maps follow the "None!" and existing-file rule. Makes it the last named one.
std::optional<DevicePreset> loadDevicePreset(SettingsTree& tree, const std::string& name);
// Removes the preset; "LastNamedPreset" is cleared when it named it.
bool deleteDevicePreset(SettingsTree& tree, const std::string& name);

std::string lastNamedPreset(const SettingsTree& tree);

// The routing of `preset` over the present ports: for each preset output present in
// `presentOutputs` (by name, first unused match, so "Name" and "Name #2" stay apart), its
// device index and map with inputs converted from positions to device indices; pairs whose
// input is not present are dropped, never shifted onto another port.
struct PresetRouting {
    std::vector<int> inputs;  // device indices to select, in preset order
    std::vector<int> outputs; // likewise
    std::vector<std::pair<int, CPortMap>> outputMaps;
    std::vector<StoredRouteMap> routeMaps; // output/input as device indices, input 135 events
};
PresetRouting presetRouting(const DevicePreset& preset,
                            const std::vector<std::string>& presentInputs,
                            const std::vector<std::string>& presentOutputs);

// The preset of the selection in `state`: ports by the names of their device indices
// (`inputNames`, `outputNames`), maps and data maps by 1-based position, "Corvex Events" at
// map index 135 and data map input 0. Connections from inputs not selected are left out.
DevicePreset devicePresetOf(const RoutingState& state, const std::vector<std::string>& inputNames,
                            const std::vector<std::string>& outputNames);

// The selection in `state` is what the preset says: the same ports selected (by name) and
// the same data map paths (compared without regard to case) for every preset pair.
bool presetMatches(const DevicePreset& preset, const RoutingState& state,
                   const std::vector<std::string>& inputNames,
                   const std::vector<std::string>& outputNames);

} // namespace corvex
