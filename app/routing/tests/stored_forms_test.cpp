// The three stored forms of a selection carry the same routing: the settings' 564-byte
// records, the profile file's texts and a device preset.
#include "profile_routing.h"
#include "routing/device_presets.h"
#include "settings/port_names.h"
#include "settings/settings_profile.h"

#include "devices/port_routing_bits.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

namespace corvex {
namespace {

bool sameMaps(const std::vector<CPortMap>& a, const std::vector<CPortMap>& b) {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(CPortMap)) == 0);
}

DeviceSelection sampleSelection() {
    const auto file = std::filesystem::temp_directory_path() / "corvex-stored-forms.vxm";
    std::ofstream(file) << "map";
    DeviceSelection selection;
    selection.inputs = {"Keys", "Pads", "Keys #2"};
    selection.outputs = {"Synth", "Drums"};
    CPortMap first{};
    connectInput(first, 0, 0x7FFFF);
    connectInput(first, 2, 0x40001);
    connectInput(first, CVX_GENERATED_PORT, 0x3FFFF);
    CPortMap second{};
    connectInput(second, 1, 0x10200);
    selection.outputMaps = {first, second};
    selection.portDataMaps = {{1, 3, file.string()}, {2, 0, file.string()}};
    return selection;
}

TEST(StoredForms, RoundTripSettingsProfileAndPreset) {
    const DeviceSelection selection = sampleSelection();

    SettingsProfile record = SettingsProfile::defaults();
    record.devices = selection;
    SettingsTree tree;
    record.writeTo(tree, 1);
    SettingsProfile fromSettings = SettingsProfile::defaults();
    fromSettings.readFrom(tree, 1);
    EXPECT_EQ(fromSettings.devices.inputs, selection.inputs);
    EXPECT_EQ(fromSettings.devices.outputs, selection.outputs);
    EXPECT_TRUE(sameMaps(fromSettings.devices.outputMaps, selection.outputMaps));
    EXPECT_EQ(fromSettings.devices.portDataMaps, selection.portDataMaps);
    auto bytes = tree.binary("Profile 1\\MIDI Devices", "OutMap2", sizeof(CPortMap));
    ASSERT_TRUE(bytes);
    EXPECT_EQ(std::memcmp(bytes->data(), &selection.outputMaps[1], sizeof(CPortMap)), 0);

    cvx::profile::ProfileDocument document;
    writeRouting(fromSettings.devices, document);
    DeviceSelection fromProfile;
    readRouting(document, fromProfile);
    EXPECT_EQ(fromProfile.inputs, selection.inputs);
    EXPECT_TRUE(sameMaps(fromProfile.outputMaps, selection.outputMaps));
    EXPECT_EQ(fromProfile.portDataMaps, selection.portDataMaps);

    DevicePreset preset{fromProfile.inputs, fromProfile.outputs, fromProfile.outputMaps, {}};
    for (const PortDataMapSetting& entry : fromProfile.portDataMaps) {
        preset.routeMaps.push_back({entry.output, entry.input, entry.path});
    }
    saveDevicePreset(tree, "Round trip", preset);
    std::optional<DevicePreset> loaded = loadDevicePreset(tree, "Round trip");
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(sameMaps(loaded->outputMaps, selection.outputMaps));
    EXPECT_EQ(loaded->routeMaps, preset.routeMaps);
}

TEST(StoredForms, SettingsRecordsAreReadByTheirMasks) {
    SettingsProfile record = SettingsProfile::defaults();
    record.devices.inputs = {"Keys", "Pads"};
    record.devices.outputs = {"Synth"};
    CPortMap stored{};
    setInputConnected(stored, 0, true); // bit without a mask: not connected
    stored.inputMasks[1] = 0x5;         // mask without a bit: connected
    stored.inputMasks[7] = 0x7FFFF;     // past the stored inputs: dropped
    record.devices.outputMaps = {stored};
    SettingsTree tree;
    record.writeTo(tree, 1);
    SettingsProfile read = SettingsProfile::defaults();
    read.readFrom(tree, 1);
    ASSERT_EQ(read.devices.outputMaps.size(), 1u);
    const CPortMap& map = read.devices.outputMaps[0];
    EXPECT_FALSE(inputConnected(map, 0));
    EXPECT_TRUE(inputConnected(map, 1));
    EXPECT_EQ(map.inputMasks[1], 0x5u);
    EXPECT_FALSE(inputConnected(map, 7));
    EXPECT_EQ(map.inputMasks[7], 0u);
}

} // namespace
} // namespace corvex
