#include "routing/device_presets.h"

#include "devices/port_routing_bits.h"
#include "routing/routing_operations.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

namespace corvex {
namespace {

CPortMap mapOf(std::initializer_list<std::pair<int, uint32_t>> connections) {
    CPortMap map{};
    for (auto [input, mask] : connections) {
        connectInput(map, input, mask);
    }
    return map;
}

std::string existingMapFile() {
    const auto path = std::filesystem::temp_directory_path() / "corvex-preset-test.map";
    std::ofstream(path) << "map";
    return path.string();
}

DevicePreset twoByTwo(const std::string& mapFile) {
    DevicePreset preset;
    preset.inputs = {"Keys", "Pads"};
    preset.outputs = {"Synth", "Synth #2"};
    preset.outputMaps = {mapOf({{0, 0x7FFFF}, {kEventsInput, 0x3FFFF}}), mapOf({{1, 0x0001}})};
    preset.routeMaps = {{1, 1, mapFile}, {2, 0, mapFile}};
    return preset;
}

TEST(DevicePresets, SaveLoadDeleteAndTheLastNamedPreset) {
    const std::string file = existingMapFile();
    SettingsTree tree;
    saveDevicePreset(tree, "Studio", twoByTwo(file));
    EXPECT_EQ(lastNamedPreset(tree), "Studio");
    ASSERT_EQ(findDevicePreset(tree, "STUDIO"), "Studio");
    EXPECT_EQ(loadDevicePreset(tree, "studio"), twoByTwo(file));

    // Overwriting under another spelling replaces the preset, leaving nothing of the old one.
    DevicePreset smaller;
    smaller.inputs = {"Keys"};
    smaller.outputs = {"Synth"};
    saveDevicePreset(tree, "STUDIO", smaller);
    EXPECT_EQ(devicePresetNames(tree), std::vector<std::string>{"STUDIO"});
    std::optional<DevicePreset> loaded = loadDevicePreset(tree, "Studio");
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->outputs, smaller.outputs);
    // No stored map: every preset input and "Corvex Events" with the connect mask.
    const CPortMap expected = mapOf({{0, kConnectRouteMask}, {kEventsInput, kConnectRouteMask}});
    EXPECT_EQ(loaded->outputMaps.size(), 1u);
    EXPECT_EQ(std::memcmp(&loaded->outputMaps[0], &expected, sizeof(CPortMap)), 0);
    EXPECT_TRUE(loaded->routeMaps.empty());

    saveDevicePreset(tree, "Live", smaller);
    EXPECT_TRUE(loadDevicePreset(tree, "STUDIO"));
    EXPECT_EQ(lastNamedPreset(tree), "STUDIO");
    EXPECT_TRUE(deleteDevicePreset(tree, "studio"));
    EXPECT_EQ(lastNamedPreset(tree), "");
    EXPECT_FALSE(deleteDevicePreset(tree, "Studio"));
    EXPECT_EQ(devicePresetNames(tree), std::vector<std::string>{"Live"});
}

TEST(DevicePresets, StoredRecordIsTheMapByInputPosition) {
    SettingsTree tree;
    saveDevicePreset(tree, "P", twoByTwo(existingMapFile()));
    auto bytes = tree.binary(joinKeyPath(kDevicePresetsKey, "P"), "OutMap2", 564);
    ASSERT_TRUE(bytes);
    const CPortMap expected = mapOf({{1, 0x0001}});
    EXPECT_EQ(std::memcmp(bytes->data(), &expected, 564), 0);
}

TEST(DevicePresets, ReadingRulesForDamagedPresets) {
    const std::string key = joinKeyPath(kDevicePresetsKey, "Odd");
    SettingsTree tree;
    tree.createKey(key);
    for (int i = 1; i <= 200; ++i) {
        tree.setString(key, "Out" + std::to_string(i), "Out " + std::to_string(i));
    }
    tree.setString(key, "In1", "Keys");
    tree.setString(key, "In2", "");
    tree.setString(key, "In3", "Keys");
    tree.setString(key, "In5", "Not read: In4 is missing");
    // A record with bits but no masks, and one with a mask but no bit.
    CPortMap bitsOnly{};
    setInputConnected(bitsOnly, 0, true);
    tree.setBinary(key, "OutMap1", &bitsOnly, sizeof bitsOnly);
    CPortMap maskOnly{};
    maskOnly.inputMasks[2] = 0x3;
    tree.setBinary(key, "OutMap2", &maskOnly, sizeof maskOnly);
    tree.setBinary(key, "OutMap3", "short", 5);
    tree.setString(key, "DataMap_Out1_In1", "None!");
    tree.setString(key, "DataMap_Out1_In2", "/no/such/file.map");
    tree.setString(key, "DataMap_Out1_CVX", std::filesystem::temp_directory_path().string());

    std::optional<DevicePreset> preset = loadDevicePreset(tree, "odd");
    ASSERT_TRUE(preset);
    EXPECT_EQ(preset->inputs, (std::vector<std::string>{"Keys", "", "Keys"}));
    EXPECT_EQ(preset->outputs.size(), 136u);
    EXPECT_FALSE(inputConnected(preset->outputMaps[0], 0));
    EXPECT_TRUE(inputConnected(preset->outputMaps[1], 2));
    EXPECT_EQ(preset->outputMaps[2].inputMasks[kEventsInput], kConnectRouteMask);
    EXPECT_TRUE(preset->routeMaps.empty());
}

TEST(DevicePresets, PositionsBecomeDeviceIndicesByName) {
    const std::string file = existingMapFile();
    DevicePreset preset = twoByTwo(file);
    struct Case {
        const char* name;
        std::vector<std::string> inputs, outputs;
        std::vector<int> selectedInputs, selectedOutputs;
        std::vector<std::pair<int, CPortMap>> maps;
        std::vector<StoredRouteMap> routeMaps;
    };
    const std::vector<Case> cases = {
        {"all present, other order",
         {"Pads", "x", "Keys"},
         {"Synth #2", "Synth"},
         {2, 0},
         {1, 0},
         {{1, mapOf({{2, 0x7FFFF}, {kEventsInput, 0x3FFFF}})}, {0, mapOf({{0, 0x0001}})}},
         {{1, 2, file}, {0, kEventsInput, file}}},
        {"absent input is dropped, not shifted",
         {"Pads"},
         {"Synth"},
         {0},
         {0},
         {{0, mapOf({{kEventsInput, 0x3FFFF}})}},
         {}},
        {"identical names stay apart",
         {"Keys", "Keys"},
         {"Synth", "Synth #2"},
         {0},
         {0, 1},
         {{0, mapOf({{0, 0x7FFFF}, {kEventsInput, 0x3FFFF}})}, {1, mapOf({})}},
         {{0, 0, file}, {1, kEventsInput, file}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PresetRouting routing = presetRouting(preset, c.inputs, c.outputs);
        EXPECT_EQ(routing.inputs, c.selectedInputs);
        EXPECT_EQ(routing.outputs, c.selectedOutputs);
        ASSERT_EQ(routing.outputMaps.size(), c.maps.size());
        for (size_t i = 0; i < c.maps.size(); ++i) {
            EXPECT_EQ(routing.outputMaps[i].first, c.maps[i].first);
            EXPECT_EQ(
                std::memcmp(&routing.outputMaps[i].second, &c.maps[i].second, sizeof(CPortMap)), 0)
                << i;
        }
        EXPECT_EQ(routing.routeMaps, c.routeMaps);
    }
}

TEST(DevicePresets, SelectionToPresetAndBack) {
    const std::string file = existingMapFile();
    const std::vector<std::string> inputNames = {"Keys", "Pads", "Keys #2"};
    const std::vector<std::string> outputNames = {"Synth", "Drums"};
    RoutingState state;
    state.inputs = {2, 0};
    state.outputs = {1};
    connectInput(state.mapOf(1), 2, 0x0003);
    connectInput(state.mapOf(1), kEventsInput, kConnectRouteMask);
    connectInput(state.mapOf(1), 1, kConnectRouteMask); // input 1 is not selected
    state.portDataMap.add(1, 2, file);
    state.portDataMap.add(1, kEventsInput, file);

    const DevicePreset preset = devicePresetOf(state, inputNames, outputNames);
    EXPECT_EQ(preset.inputs, (std::vector<std::string>{"Keys #2", "Keys"}));
    EXPECT_EQ(preset.outputs, std::vector<std::string>{"Drums"});
    ASSERT_EQ(preset.outputMaps.size(), 1u);
    EXPECT_EQ(preset.outputMaps[0].inputMasks[0], 0x0003u);
    EXPECT_EQ(preset.outputMaps[0].inputMasks[1], 0u);
    EXPECT_EQ(preset.routeMaps, (std::vector<StoredRouteMap>{{1, 1, file}, {1, 0, file}}));

    const PresetRouting routing = presetRouting(preset, inputNames, outputNames);
    EXPECT_EQ(routing.inputs, (std::vector<int>{2, 0}));
    ASSERT_EQ(routing.outputMaps.size(), 1u);
    EXPECT_EQ(routing.outputMaps[0].second.inputMasks[2], 0x0003u);
    EXPECT_FALSE(inputConnected(routing.outputMaps[0].second, 1));

    EXPECT_TRUE(presetMatches(preset, state, inputNames, outputNames));
    RoutingState reordered = state;
    reordered.inputs = {0, 2};
    EXPECT_TRUE(presetMatches(preset, reordered, inputNames, outputNames));
    RoutingState otherMap = state;
    otherMap.portDataMap.remove(1, kEventsInput);
    EXPECT_FALSE(presetMatches(preset, otherMap, inputNames, outputNames));
    RoutingState moreInputs = state;
    moreInputs.inputs.push_back(1);
    EXPECT_FALSE(presetMatches(preset, moreInputs, inputNames, outputNames));
}

} // namespace
} // namespace corvex
