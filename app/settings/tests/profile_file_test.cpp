#include "profile_file.h"

#include "settings/folders.h"
#include "support/test_files.h"

#include "ini/profile_strings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace corvex {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::writeFile;

class ProfileFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::remove(settingsStorePath());
        fs::remove_all(folder());
        fs::create_directories(folder());
    }
    static std::string folder() { return dataFolder() + "/profiles"; }
    static std::string file(const std::string& name) { return folder() + "/" + name; }

    SettingsStore store;
};

// A record that differs from the defaults in everything a profile carries.
SettingsProfile changedRecord(const std::string& mapFile) {
    SettingsProfile record = SettingsProfile::defaults();
    record.display.colours[kNoteOnColour] = rgbColour(1, 2, 3);
    record.display.colours[kFirstRoutePortColour + 15] = rgbColour(250, 0, 7);
    record.options.sysexFolder = "/home/jürgen/SysEx Dumps";
    record.options.scriptFolder = "/home/jürgen/Skripte";
    record.options.runningStatus = true;
    record.instanceOptions.tempo = 140;
    record.display.onTop = true;
    record.display.statusColumns[3].shown = false;
    record.filter.filterFlags = 0x8A000005u;
    record.filter.systemFilter = 0x1F;
    record.filter.controllerFilter[0] = 255;
    record.filter.controllerFilter[15] = 1;
    record.devices.inputs = {"Corvex Loopback 1", "Corvex Loopback 2"};
    record.devices.outputs = {"Corvex Loopback 3", "Corvex Loopback 4"};
    CPortMap first{};
    first.inputBits[0] = 0x2;
    first.inputMasks[1] = 0x7FFFF;
    first.inputBits[4] = 0x80;
    first.inputMasks[CVX_GENERATED_PORT] = 0x10003;
    CPortMap second{};
    second.inputBits[0] = 0x1;
    second.inputMasks[0] = 0x20100;
    record.devices.outputMaps = {first, second};
    record.devices.portDataMaps = {{2, 0, mapFile}, {2, 1, mapFile}};
    record.logFile.path = "/tmp/midi.log";
    record.logFile.enabled = true;
    record.display.windowPos = normalPlacement({1, 2, 3, 4});
    record.display.mdiPos[1] = normalPlacement({5, 6, 7, 8});
    record.instanceOptions.routeZoom = 200;
    return record;
}

TEST_F(ProfileFileTest, ExportThenImportReproducesEverythingButWindowPositions) {
    const std::string mapFile = file("route.vxm");
    writeFile(mapFile, "map");
    SettingsProfile exported = changedRecord(mapFile);
    ASSERT_TRUE(exportProfile(file("mine.ini"), exported));
    EXPECT_EQ(exported.profilePath, file("mine.ini"));
    EXPECT_TRUE(isProfileText(file("mine.ini")));

    SettingsProfile imported = SettingsProfile::defaults();
    ASSERT_TRUE(importProfile(file("mine.ini"), imported, store, {}));
    EXPECT_EQ(imported.display.colours, exported.display.colours);
    EXPECT_EQ(imported.options.sysexFolder, exported.options.sysexFolder);
    EXPECT_EQ(imported.options.scriptFolder, exported.options.scriptFolder);
    EXPECT_TRUE(imported.options.runningStatus);
    EXPECT_EQ(imported.instanceOptions.tempo, 140);
    EXPECT_TRUE(imported.display.onTop);
    EXPECT_EQ(imported.display.statusColumns, exported.display.statusColumns);
    EXPECT_EQ(std::memcmp(&imported.filter, &exported.filter, sizeof(CFilter)), 0);
    EXPECT_EQ(imported.devices.inputs, exported.devices.inputs);
    EXPECT_EQ(imported.devices.outputs, exported.devices.outputs);
    ASSERT_EQ(imported.devices.outputMaps.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(std::memcmp(&imported.devices.outputMaps[i], &exported.devices.outputMaps[i],
                              sizeof(CPortMap)),
                  0);
    }
    EXPECT_EQ(imported.devices.portDataMaps, exported.devices.portDataMaps);
    EXPECT_EQ(imported.logFile.path, "/tmp/midi.log");
    EXPECT_TRUE(imported.logFile.enabled);
    EXPECT_EQ(imported.display.windowPos, SettingsProfile::defaults().display.windowPos);
    EXPECT_TRUE(isNeverPlaced(imported.display.mdiPos[1]));
    EXPECT_EQ(imported.instanceOptions.routeZoom, 100);
}

TEST_F(ProfileFileTest, ProfileIsWrittenInTheSharedTextForm) {
    SettingsProfile record = changedRecord(file("none.vxm"));
    ASSERT_TRUE(exportProfile(file("p.ini"), record));
    auto value = [&](const char* section, const char* key) {
        return cvx::profile::readProfileString(file("p.ini"), section, key, "<missing>");
    };
    EXPECT_EQ(value("Display", "MIDI Note On"), "1,2,3");
    EXPECT_EQ(value("Display", "StatusColCount"), "136");
    EXPECT_EQ(value("Filter", "Filter"), "2315255813");
    EXPECT_EQ(value("Filter", "FilterControl"), "255,0,0,0,0,0,0,0,0,0,0,0,0,0,0,1");
    EXPECT_EQ(value("MIDI Devices", "DevMIDIOut"), "2");
    EXPECT_EQ(value("OutMap1", "In2"), "1111111111111111,1110000000000000");
    EXPECT_EQ(value("OutMap1", "In1"), "<missing>");
    EXPECT_EQ(value("OutMap1", "CVXEvent"), "1100000000000000,1000000000000000");
    EXPECT_EQ(value("OutMap2", "CVXEvent"), "0000000000000000,0000000000000000");
    EXPECT_EQ(value("Options", "MTC Frame Rate"), "30");
    EXPECT_EQ(value("Options", "RouteZoom"), "<missing>");
    EXPECT_EQ(value("Display", "Window Pos"), "<missing>");
    EXPECT_EQ(value("PortDataMaps", "DataMap_Out2_CVX"), file("none.vxm"));
    EXPECT_EQ(value("PortDataMaps", "DataMap_Out1_In1"), "<missing>");
}

TEST_F(ProfileFileTest, ExportReplacesRoutingSectionsAndKeepsTheRest) {
    writeFile(file("old.ini"),
              "; my notes\r\n[Mine]\r\nkeep=1\r\n[OutMap7]\r\nIn1=x\r\n"
              "[MIDI Devices]\r\nIn9=Gone\r\n[PortDataMaps]\r\nDataMap_Out9_CVX=/x\r\n");
    SettingsProfile record = SettingsProfile::defaults();
    record.devices.outputs = {"One"};
    ASSERT_TRUE(exportProfile(file("old.ini"), record));
    std::string text = readFile(file("old.ini"));
    EXPECT_NE(text.find("; my notes\r\n[Mine]\r\nkeep=1\r\n"), std::string::npos);
    EXPECT_EQ(text.find("OutMap7"), std::string::npos);
    EXPECT_EQ(text.find("In9"), std::string::npos);
    EXPECT_EQ(text.find("DataMap_Out9"), std::string::npos);
}

TEST_F(ProfileFileTest, ImportKeepsWhatTheProfileDoesNotSay) {
    writeFile(file("partial.ini"), "\xEF\xBB\xBF[Display]\nOn Top=1\nMIDI Note On=300,0,0\n"
                                   "[Options]\nOctave=5\n");
    SettingsProfile record = changedRecord(file("none.vxm"));
    record.display.onTop = false;
    const SettingsProfile before = record;
    ASSERT_TRUE(importProfile(file("partial.ini"), record, store, {}));
    EXPECT_TRUE(record.display.onTop);
    EXPECT_EQ(record.options.octave, 5);
    EXPECT_EQ(record.display.colours, before.display.colours); // 300 is no colour value
    EXPECT_EQ(record.devices.inputs, before.devices.inputs);
    EXPECT_EQ(record.devices.outputMaps.size(), 2u);
    EXPECT_EQ(record.options.sysexFolder, before.options.sysexFolder);
}

TEST_F(ProfileFileTest, ImportRunsTheRegisteredStepsInOrder) {
    writeFile(file("p.ini"), "[Display]\nVerbose=0\n[Custom In Names]\nCorvex Loopback 1=Keys\n");
    ASSERT_TRUE(store.writeString("DevicePresets", "LastNamedPreset", "Live"));
    std::vector<std::string> calls;
    ProfileImportSteps steps;
    steps.prepare.push_back([&] { calls.push_back("close log"); });
    steps.prepare.push_back([&] { calls.push_back("close ports"); });
    steps.sections.push_back(
        {nullptr, [&](const cvx::profile::ProfileDocument&) { calls.push_back("data map"); }});
    steps.reapply.push_back([&](const SettingsProfile& record, const ImportedProfile& profile) {
        calls.push_back(record.display.verbose ? "verbose" : "quiet");
        calls.push_back(profile.customInputName("Corvex Loopback 1"));
        calls.push_back(profile.customInputName("Corvex Loopback 2"));
    });
    SettingsProfile record = SettingsProfile::defaults();
    ASSERT_TRUE(importProfile(file("p.ini"), record, store, steps));
    EXPECT_EQ(calls, (std::vector<std::string>{"close log", "close ports", "data map", "quiet",
                                               "Keys", "Corvex Loopback 2"}));
    EXPECT_EQ(store.readString("DevicePresets", "LastNamedPreset"), "");
    EXPECT_EQ(record.profilePath, file("p.ini"));
}

TEST_F(ProfileFileTest, CustomNamesFallBackToTheDeviceNames) {
    writeFile(file("p.ini"), "[Custom Out Names]\nSynth=Lead\n");
    ImportedProfile profile(profileDocumentOf(readFile(file("p.ini"))));
    ASSERT_TRUE(storeCustomPortNames(store, profile, {"Keys"}, {"Synth", "Drums"}));
    EXPECT_EQ(store.readString("Custom In Names", "Keys"), "Keys");
    EXPECT_EQ(store.readString("Custom Out Names", "Synth"), "Lead");
    EXPECT_EQ(store.readString("Custom Out Names", "Drums"), "Drums");
}

TEST_F(ProfileFileTest, OnlyTextFilesAreProfiles) {
    writeFile(file("utf8.ini"), "[Options]\r\nSysxDir=/home/zoë/Müsik\t\r\n");
    writeFile(file("binary.ini"), std::string("MThd\0\0\0\x06\x80\x90", 10));
    writeFile(file("latin1.ini"), "[Options]\nSysxDir=/home/zo\xEB\n");
    writeFile(file("nul.ini"), std::string("[Options]\n\0", 11));
    writeFile(file("escape.ini"), "[Options]\n\x1b[31m\n");
    writeFile(file("empty.ini"), "");
    EXPECT_TRUE(isProfileText(file("utf8.ini")));
    EXPECT_FALSE(isProfileText(file("binary.ini")));
    EXPECT_FALSE(isProfileText(file("latin1.ini")));
    EXPECT_FALSE(isProfileText(file("nul.ini")));
    EXPECT_FALSE(isProfileText(file("escape.ini")));
    EXPECT_FALSE(isProfileText(file("empty.ini")));
    EXPECT_FALSE(isProfileText(file("missing.ini")));
    EXPECT_FALSE(isProfileText(folder()));

    bool prepared = false;
    ProfileImportSteps steps;
    steps.prepare.push_back([&] { prepared = true; });
    SettingsProfile record = SettingsProfile::defaults();
    EXPECT_FALSE(importProfile(file("binary.ini"), record, store, steps));
    EXPECT_FALSE(prepared);
    EXPECT_TRUE(record.profilePath.empty());
}

TEST_F(ProfileFileTest, ExportFailureLeavesTheFileAlone) {
    SettingsProfile record = SettingsProfile::defaults();
    EXPECT_FALSE(exportProfile(folder() + "/no/such/folder/p.ini", record));
    EXPECT_TRUE(record.profilePath.empty());
}

} // namespace
} // namespace corvex
