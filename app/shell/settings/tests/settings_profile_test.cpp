#include "settings_profile.h"

#include "folders.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

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
