#include "settings_profile.h"

#include "settings/folders.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace corvex {
namespace {

class SettingsProfileTest : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::remove(settingsStorePath()); }
    SettingsStore store;
};

TEST_F(SettingsProfileTest, FreshStoreGivesTheDefaults) {
    SettingsProfile record = SettingsProfile::load(store, 1);
    EXPECT_FALSE(record.display.onTop);
    EXPECT_FALSE(record.display.useTray);
    EXPECT_FALSE(record.display.alwaysUseTray);
    EXPECT_TRUE(record.options.displayEvents);
    EXPECT_TRUE(record.display.monitorInputHex);
    EXPECT_TRUE(record.display.monitorOutputHex);
    EXPECT_EQ(record.options.octave, 4);
    EXPECT_EQ(record.display.colours, defaultColours());
    EXPECT_EQ(record.display.windowPos, normalPlacement({20, 100, 551, 381}));
    EXPECT_TRUE(isNeverPlaced(record.display.mdiPos[0]));
    EXPECT_EQ(record.filter.filterFlags, 0x02000000u);
    EXPECT_EQ(record.filter.systemFilter, 0x3F00u);
    EXPECT_EQ(record.display.windowLayout, 1u);
    EXPECT_EQ(record.options.scriptFolder, dataFolder() + "/Script");
    EXPECT_EQ(record.options.instrumentFolder, dataFolder());
    EXPECT_EQ(record.patchMap.path, "patchmap.pmi");
    EXPECT_EQ(record.logFile.path, "MIDILog.txt");
}

TEST_F(SettingsProfileTest, WrongSizedWindowPositionTakesTheDefault) {
    SettingsProfile changed = SettingsProfile::load(store, 1);
    changed.display.windowPos = normalPlacement({1, 2, 300, 400});
    ASSERT_TRUE(changed.save(store, 1));
    uint8_t shortRecord[40] = {};
    ASSERT_TRUE(store.writeBinary("Profile 1\\Display", "Window Pos", shortRecord, 40));
    EXPECT_EQ(SettingsProfile::load(store, 1).display.windowPos,
              normalPlacement({20, 100, 551, 381}));
}

TEST_F(SettingsProfileTest, EachInstanceKeepsItsOwnBranch) {
    SettingsProfile first = SettingsProfile::load(store, 1);
    first.display.onTop = true;
    first.devices.inputs = {"Corvex Loopback 1"};
    ASSERT_TRUE(first.save(store, 1));
    SettingsTree before = store.read();

    SettingsProfile second = SettingsProfile::load(store, 2);
    EXPECT_FALSE(second.display.onTop);
    second.display.useTray = true;
    second.devices.inputs = {"Corvex Loopback 3", "Corvex Loopback 4"};
    ASSERT_TRUE(second.save(store, 2));

    SettingsTree after = store.read();
    for (const std::string& key : before.subkeys("Profile 1")) {
        std::string path = "Profile 1\\" + key;
        for (const std::string& name : before.valueNames(path)) {
            EXPECT_EQ(*before.value(path, name), *after.value(path, name)) << path << name;
        }
    }
    EXPECT_TRUE(SettingsProfile::load(store, 1).display.onTop);
    EXPECT_FALSE(SettingsProfile::load(store, 1).display.useTray);
    EXPECT_EQ(SettingsProfile::load(store, 2).devices.inputs.size(), 2u);
}

} // namespace
} // namespace corvex

namespace corvex {
namespace {

bool sameMap(const CPortMap& a, const CPortMap& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST_F(SettingsProfileTest, EveryGroupReadsBackAsSaved) {
    SettingsProfile record = SettingsProfile::load(store, 3);
    record.customColours[5] = rgbColour(1, 2, 3);
    record.options.mapFolder = "/home/me/maps";
    record.options.octave = 3;
    record.sysex.delayAmount = 12;
    record.monitorFont = {"Mono", 11, true, false};
    record.filter.filterFlags = 0x80000001u;
    record.filter.controllerFilter[15] = 0x80;
    record.display.mdiPos[2] = normalPlacement({-5, 6, 700, 800});
    record.display.colours[kRoutingText] = rgbColour(9, 8, 7);
    record.display.statusColumns[1].shown = false;
    record.display.luaWindowRect = {1, 2, 3, 4};
    record.instanceOptions.mtcOffset = -25;
    record.devices.inputs = {"In A", "In B"};
    record.devices.outputs = {"Out A"};
    CPortMap map{};
    map.inputBits[0] = 2;
    map.inputMasks[1] = 0x10001;
    record.devices.outputMaps = {map};
    record.dataMap.mapParms = std::vector<uint8_t>(22, 5);
    record.patchMap.channelTable = 0xFFFF;
    record.logFile = {"log.txt", 1, false, true, false};
    ASSERT_TRUE(record.save(store, 3));

    SettingsProfile loaded = SettingsProfile::load(store, 3);
    EXPECT_EQ(loaded.customColours, record.customColours);
    EXPECT_EQ(loaded.options.mapFolder, "/home/me/maps");
    EXPECT_EQ(loaded.options.octave, 3);
    EXPECT_EQ(loaded.sysex.delayAmount, 12);
    EXPECT_EQ(loaded.monitorFont.faceName, "Mono");
    EXPECT_TRUE(loaded.monitorFont.bold);
    EXPECT_EQ(loaded.filter.filterFlags, 0x80000001u);
    EXPECT_EQ(loaded.filter.controllerFilter[15], 0x80);
    EXPECT_EQ(loaded.display.mdiPos[2], record.display.mdiPos[2]);
    EXPECT_EQ(loaded.display.colours, record.display.colours);
    EXPECT_EQ(loaded.display.statusColumns, record.display.statusColumns);
    EXPECT_EQ(loaded.display.luaWindowRect, record.display.luaWindowRect);
    EXPECT_EQ(loaded.instanceOptions.mtcOffset, -25);
    EXPECT_EQ(loaded.devices.inputs, record.devices.inputs);
    ASSERT_EQ(loaded.devices.outputMaps.size(), 1u);
    EXPECT_TRUE(sameMap(loaded.devices.outputMaps[0], map));
    EXPECT_EQ(loaded.dataMap.mapParms, record.dataMap.mapParms);
    EXPECT_EQ(loaded.patchMap.channelTable, 0xFFFFu);
    EXPECT_EQ(loaded.logFile.path, "log.txt");
    EXPECT_EQ(loaded.logFile.format, 1);
    EXPECT_FALSE(loaded.logFile.append);
}

TEST_F(SettingsProfileTest, ValuesOfOtherFeaturesSurviveASave) {
    ASSERT_TRUE(store.update([](SettingsTree& tree) {
        tree.setBinary("Toolbar", "Toolbar6", "tb", 2);
        tree.setDword("Profile 1\\MIDI Devices", "LastOpenFailed", 1);
        tree.setString("Profile 1\\Display", "A Later Option", "kept");
        tree.setDword("Profile 1\\Display", "On Top", 1);
        return true;
    }));
    SettingsProfile record = SettingsProfile::load(store, 1);
    EXPECT_TRUE(record.display.onTop);
    ASSERT_TRUE(record.save(store, 1));
    SettingsTree tree = store.read();
    EXPECT_TRUE(tree.binary("Toolbar", "Toolbar6", 2));
    EXPECT_EQ(tree.dword("Profile 1\\MIDI Devices", "LastOpenFailed"), 1u);
    EXPECT_EQ(tree.string("Profile 1\\Display", "A Later Option"), "kept");
}

TEST_F(SettingsProfileTest, StoredSelectionIsReadAsTheDevicesStoreIt) {
    const std::string key = "Profile 1\\MIDI Devices";
    const std::string mapFile = dataFolder() + "/route.vxm";
    std::filesystem::create_directories(dataFolder());
    std::ofstream(mapFile) << "map";
    ASSERT_TRUE(store.update([&](SettingsTree& tree) {
        tree.setString(key, "In1", "In A");
        tree.setString(key, "In2", std::string(200, 'n'));
        tree.setString(key, "In4", "after a gap");
        tree.setString(key, "Out", "Old single output");
        tree.setBinary(key, "OutMap1", "short", 5);
        tree.setString(key, "DataMap_Out1_In2", mapFile);
        tree.setString(key, "DataMap_Out1_CVX", dataFolder() + "/deleted.vxm");
        tree.setString(key, "DataMap_Out1_In1", "None!");
        return true;
    }));
    SettingsProfile record = SettingsProfile::load(store, 1);
    ASSERT_EQ(record.devices.inputs.size(), 2u);
    EXPECT_EQ(record.devices.inputs[1].size(), kMaxPortNameLength);
    EXPECT_EQ(record.devices.outputs, std::vector<std::string>{"Old single output"});
    ASSERT_EQ(record.devices.outputMaps.size(), 1u);
    EXPECT_TRUE(sameMap(record.devices.outputMaps[0], defaultOutputMap(1, 2)));
    ASSERT_EQ(record.devices.portDataMaps.size(), 1u);
    EXPECT_EQ(record.devices.portDataMaps[0], (PortDataMapSetting{1, 2, mapFile}));

    // Saving a shorter selection leaves no stale entries that would be read back.
    record.devices.inputs = {"Only"};
    record.devices.portDataMaps.clear();
    ASSERT_TRUE(record.save(store, 1));
    SettingsTree tree = store.read();
    EXPECT_FALSE(tree.value(key, "In2"));
    EXPECT_FALSE(tree.value(key, "In4"));
    EXPECT_FALSE(tree.value(key, "Out"));
    EXPECT_FALSE(tree.value(key, "DataMap_Out1_In2"));
    EXPECT_EQ(SettingsProfile::load(store, 1).devices.outputs,
              std::vector<std::string>{"Old single output"});
}

// Two instances saving at the same moment, each many times, keep each other's branches.
TEST_F(SettingsProfileTest, InstancesSavingTogetherKeepEachOthersBranch) {
    constexpr int kSaves = 15;
    std::vector<pid_t> children;
    for (int instance = 1; instance <= 2; ++instance) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            SettingsStore own;
            bool ok = true;
            for (int i = 1; i <= kSaves; ++i) {
                SettingsProfile record = SettingsProfile::load(own, instance);
                record.instanceOptions.tempo = 100 * instance + i;
                record.devices.outputs = {"Out of " + std::to_string(instance)};
                ok = record.save(own, instance) && ok;
            }
            ::_exit(ok ? 0 : 1);
        }
        children.push_back(child);
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (int instance = 1; instance <= 2; ++instance) {
        SettingsProfile record = SettingsProfile::load(store, instance);
        EXPECT_EQ(record.instanceOptions.tempo, 100 * instance + kSaves);
        EXPECT_EQ(record.devices.outputs,
                  std::vector<std::string>{"Out of " + std::to_string(instance)});
    }
}

TEST_F(SettingsProfileTest, DefaultRoutingFeedsTheFirstOutputOnly) {
    CPortMap first = defaultOutputMap(1, 3);
    CPortMap later = defaultOutputMap(2, 3);
    EXPECT_EQ(first.inputBits[0], 0x7u);
    EXPECT_EQ(first.inputBits[4], 0x80u);
    EXPECT_EQ(first.inputMasks[2], 0x3FFFFu);
    EXPECT_EQ(first.inputMasks[3], 0u);
    EXPECT_EQ(later.inputBits[0], 0u);
    EXPECT_EQ(later.inputMasks[CVX_GENERATED_PORT], 0x3FFFFu);
}

TEST_F(SettingsProfileTest, OutOfRangeAndOlderValuesAreMadeSound) {
    ASSERT_TRUE(store.update([](SettingsTree& tree) {
        tree.setDword("Profile 1\\Options", "RouteZoom", 1000);
        tree.setDword("Profile 1\\Display", "Background Bitmap", 0xFFFFFFFF);
        tree.setDword("Profile 1\\Display", "MDIWinOpen", 0x00020403); // 3 kinds: 4, 2, 0
        tree.setBinary("Profile 1\\Display", "Status Column", "x", 1);
        return true;
    }));
    SettingsProfile record = SettingsProfile::load(store, 1);
    EXPECT_EQ(record.instanceOptions.routeZoom, kMaxRouteZoom);
    EXPECT_EQ(record.display.backgroundBitmap, 0);
    EXPECT_EQ(record.display.windowLayout, 0x0243u);
    EXPECT_EQ(record.display.statusColumns, defaultStatusColumns());
}

} // namespace
} // namespace corvex
