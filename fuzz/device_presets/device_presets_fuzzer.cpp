// Reads arbitrary bytes as a settings store holding device presets and as a profile file
// with a routing selection. Checks: no crash; every preset loads, converts to device
// indices over a fixed set of present ports (two of the same name among them), and saved
// again reads back identically; the profile's routing reads and writes back.
#include "profile_routing.h"
#include "routing/device_presets.h"
#include "settings/settings_text.h"

#include "ini/profile_document.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    corvex::SettingsTree tree = corvex::parseSettingsText(text).tree;
    const std::vector<std::string> inputs = {"Keys", "Pads", "Keys #2", ""};
    const std::vector<std::string> outputs = {"Synth", "Synth #2", "Drums"};

    for (const std::string& name : corvex::devicePresetNames(tree)) {
        std::optional<corvex::DevicePreset> preset = corvex::loadDevicePreset(tree, name);
        if (!preset) {
            continue; // a second spelling of a name already read
        }
        corvex::PresetRouting routing = corvex::presetRouting(*preset, inputs, outputs);
        if (routing.outputs.size() != routing.outputMaps.size()) {
            __builtin_trap();
        }
        corvex::SettingsTree copy;
        corvex::saveDevicePreset(copy, "again", *preset);
        if (!(corvex::loadDevicePreset(copy, "again") == *preset)) {
            __builtin_trap();
        }
    }

    cvx::profile::ProfileDocument document(text);
    corvex::DeviceSelection selection;
    corvex::readRouting(document, selection);
    cvx::profile::ProfileDocument written;
    corvex::writeRouting(selection, written);
    return 0;
}
