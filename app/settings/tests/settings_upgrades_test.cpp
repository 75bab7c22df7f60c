#include "settings_upgrades.h"

#include "settings/folders.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace corvex {
namespace {

namespace fs = std::filesystem;
using testing::writeFile;

class SettingsUpgradesTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::remove(settingsStorePath());
        fs::remove_all(programDir());
        fs::create_directories(programDir());
    }
    static std::string programDir() { return dataFolder() + "/program"; }
    static std::string legacyPath() { return programDir() + "/CORVEX32.INI"; }

    SettingsStore store;
};

const char kLegacy[] = "[Display Window]\n"
                       "x=10\ny=20\nw=300\nh=200\n"
                       "BackGround=16,32,48;\n"
                       "ClrNoteOn=1,2,3 note on\n"
                       "[Options]\nThruOn=1\nOnTop=1\nOctave=3\nSysexDelay=70\n"
                       "SysexFileDir=/old/sysex\n"
                       "[MidiInputDevice]\nIn1=Keys\nIn2=Pads\n"
                       "[MidiInputDevice2]\n2ndIn1=Pads\n2ndIn2=Drums\n"
                       "[MidiOutputDevice]\nOut1=Synth\n"
                       "[Filter]\nChannel2=1\nCtrlChange=1\nCtrl7=1\nSysCommon=1\n"
                       "[LogFile]\nLogPath=old.log\nEnabled=1\n";

TEST_F(SettingsUpgradesTest, LegacyFileIsMigratedOnceAndRenamed) {
    writeFile(legacyPath(), kLegacy);
    UpgradeReport report = runStartupUpgrades(store, 1, programDir());
    EXPECT_TRUE(report.migrated);
    EXPECT_TRUE(report.legacyRenamed);
    EXPECT_FALSE(fs::exists(legacyPath()));
    EXPECT_TRUE(fs::exists(programDir() + "/CORVEXxx.ini"));
    EXPECT_EQ(store.readDword("", "Migrated INI File"), 1u);

    SettingsProfile record = SettingsProfile::load(store, 1);
    EXPECT_EQ(record.display.windowPos, normalPlacement({10, 20, 310, 220}));
    EXPECT_EQ(record.display.colours[kMonitorBackground], rgbColour(16, 32, 48));
    EXPECT_EQ(record.display.colours[kNoteOnColour], rgbColour(1, 2, 3));
    EXPECT_EQ(record.display.colours[kNoteOffColour], rgbColour(0, 128, 0)); // legacy default
    EXPECT_TRUE(record.options.thruOn);
    EXPECT_TRUE(record.display.onTop);
    EXPECT_FALSE(record.options.passSysex);
    EXPECT_EQ(record.options.octave, 3);
    EXPECT_EQ(record.sysex.delayAmount, 70);
    EXPECT_EQ(record.options.sysexFolder, "/old/sysex");
    EXPECT_EQ(record.devices.inputs, (std::vector<std::string>{"Keys", "Pads", "Drums"}));
    EXPECT_EQ(record.devices.outputs, std::vector<std::string>{"Synth"});
    // Channel 2, control change, and the default real-time and active-sensing bits,
    // converted to the current filter.
    EXPECT_EQ(record.filter.filterFlags,
              (1u << 1) | (1u << 19) | (1u << 24) | (1u << 25) | (1u << 27));
    EXPECT_EQ(record.filter.systemFilter, 0x1Fu | 0x2F00u | 0x1000u);
    EXPECT_EQ(record.filter.controllerFilter[0], 0x80);
    EXPECT_EQ(record.logFile.path, "old.log");
    EXPECT_TRUE(record.logFile.enabled);

    // A second start finds the flag and migrates nothing, even with a new legacy file.
    writeFile(legacyPath(), "[Options]\nOctave=1\n");
    EXPECT_FALSE(runStartupUpgrades(store, 1, programDir()).migrated);
    EXPECT_TRUE(fs::exists(legacyPath()));
    EXPECT_EQ(SettingsProfile::load(store, 1).options.octave, 3);
}

TEST_F(SettingsUpgradesTest, WithoutALegacyFileTheFlagIsStillSet) {
    EXPECT_FALSE(runStartupUpgrades(store, 1, programDir()).migrated);
    EXPECT_EQ(store.readDword("", "Migrated INI File"), 1u);
    EXPECT_EQ(store.readDword("Profile 1", "UpgradedFilter"), 1u);
    EXPECT_EQ(store.readDword("", "Upgraded PortMaps"), 1u);
}

TEST_F(SettingsUpgradesTest, LegacyWindowPlacementIsReadWhole) {
    writeFile(legacyPath(), "[Display Window]\nWindowPos=2,3,-1,-1,-8,-8,40,50,640,480\n");
    ASSERT_TRUE(migrateLegacySettings(store, 2, programDir(), SettingsDefaults::standard()));
    WindowPlacement placement = SettingsProfile::load(store, 2).display.windowPos;
    EXPECT_EQ(placement.flags, 2u);
    EXPECT_EQ(placement.showCommand, 3u);
    EXPECT_EQ(placement.maximizedX, -8);
    EXPECT_EQ(placement.normal, (PlacementRect{40, 50, 640, 480}));
}

TEST_F(SettingsUpgradesTest, OlderFilterIsConvertedOnce) {
    std::vector<uint8_t> old(kOldFilterBytes, 0);
    uint32_t flags = (1u << 16) | (1u << 25) | (1u << 26);
    std::memcpy(old.data(), &flags, 4);
    old[4 + 64] = 1;
    old[4 + 127] = 9;
    ASSERT_TRUE(store.writeBinary("Profile 2", "Filter", old.data(), old.size()));

    EXPECT_TRUE(upgradeStoredFilter(store, 2));
    SettingsProfile record = SettingsProfile::load(store, 2);
    EXPECT_EQ(record.filter.filterFlags, (1u << 16) | (1u << 25));
    EXPECT_EQ(record.filter.systemFilter, 0x3F00u);
    EXPECT_EQ(record.filter.controllerFilter[8], 0x01);
    EXPECT_EQ(record.filter.controllerFilter[15], 0x80);
    EXPECT_EQ(store.readDword("Profile 2", "UpgradedFilter"), 1u);

    ASSERT_TRUE(store.writeBinary("Profile 2", "Filter", old.data(), old.size()));
    EXPECT_FALSE(upgradeStoredFilter(store, 2));
}

TEST_F(SettingsUpgradesTest, PortMapsOfEveryBranchAndPresetAreUpgradedOnce) {
    CPortMap old{};
    old.inputBits[0] = 0x1;  // input 1 connected without a mask
    old.inputMasks[2] = 0xF; // input 3 not connected but with a stale mask
    old.inputBits[4] = 0x80;
    old.inputMasks[CVX_GENERATED_PORT] = 0x10001;
    ASSERT_TRUE(store.update([&](SettingsTree& tree) {
        tree.setBinary("Profile 1\\MIDI Devices", "OutMap1", &old, sizeof old);
        tree.setBinary("Profile 7\\MIDI Devices", "OutMap3", &old, sizeof old);
        tree.setBinary("DevicePresets\\Live", "OutMap1", &old, sizeof old);
        tree.setBinary("DevicePresets\\Live", "OutMap2", "short", 5);
        return true;
    }));
    EXPECT_EQ(upgradeStoredPortMaps(store), 3);

    auto bytes = store.readBinary("DevicePresets\\Live", "OutMap1", sizeof(CPortMap));
    ASSERT_TRUE(bytes);
    CPortMap upgraded;
    std::memcpy(&upgraded, bytes->data(), sizeof upgraded);
    EXPECT_EQ(upgraded.inputMasks[0], kDefaultStoredRouteMask);
    EXPECT_EQ(upgraded.inputMasks[2], 0u);
    EXPECT_EQ(upgraded.inputBits[0], 0x1u);
    EXPECT_EQ(upgraded.inputMasks[CVX_GENERATED_PORT], 0x10001u);
    EXPECT_EQ(upgraded.inputBits[4], 0x80u);
    EXPECT_EQ(store.readBinary("DevicePresets\\Live", "OutMap2", 5)->size(), 5u);

    EXPECT_EQ(upgradeStoredPortMaps(store), 0); // flag set: never again
}

TEST(MigratedLegacyName, LastSixCharactersBecomeXxIni) {
    EXPECT_EQ(migratedLegacyName("/opt/corvex/CORVEX32.INI"), "/opt/corvex/CORVEXxx.ini");
}

} // namespace
} // namespace corvex
