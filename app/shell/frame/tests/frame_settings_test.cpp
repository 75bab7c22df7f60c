#include "frame_settings.h"

#include <gtest/gtest.h>

namespace corvex {
namespace {

TEST(FrameSettingsTest, GeneralOptionsRoundTripThroughTheSettingsRecord) {
    SettingsProfile record = SettingsProfile::defaults(SettingsDefaults{});
    GeneralOptions options;
    options.showTooltips = false;
    options.verboseDeviceInfo = false;
    options.showPatchNames = false;
    options.abbreviatePortNames = true;
    options.channelColours = true;
    options.middleCOctave = 2;
    options.panicNoteOffs = false;
    options.runningStatus = true;
    options.background = BackgroundMode::File;
    options.backgroundPath = "/home/u/wood.png";
    storeGeneralOptions(record, options);
    EXPECT_EQ(generalOptionsOf(record), options);
    EXPECT_EQ(record.options.octave, 2);
    EXPECT_FALSE(record.display.fullPanic);
    EXPECT_EQ(record.display.backgroundBitmap, 3);

    // Stored values out of range come back at the nearest valid one.
    record.options.octave = 9;
    record.display.backgroundBitmap = 17;
    EXPECT_EQ(generalOptionsOf(record).middleCOctave, 7);
    EXPECT_EQ(generalOptionsOf(record).background, BackgroundMode::None);
}

TEST(FrameSettingsTest, DefaultsOfTheRecordReachTheFrame) {
    const SettingsProfile record = SettingsProfile::defaults(SettingsDefaults{});
    const GeneralOptions options = generalOptionsOf(record);
    EXPECT_EQ(options.middleCOctave, 4);
    EXPECT_EQ(options.background, BackgroundMode::Picture1);
    const FrameState state = frameStateOf(record);
    EXPECT_TRUE(state.displayRunning);
    EXPECT_TRUE(state.inputHex);
    EXPECT_TRUE(state.outputHex);
    EXPECT_TRUE(state.passSysEx);
    EXPECT_FALSE(state.keyboardActive);
}

TEST(FrameSettingsTest, FoldersAndTogglesAreStored) {
    SettingsProfile record = SettingsProfile::defaults(SettingsDefaults{});
    storeFolders(record, {"/m", "/s", "/n"});
    EXPECT_EQ(record.options.mapFolder, "/m");
    EXPECT_EQ(record.options.sysexFolder, "/s");
    EXPECT_EQ(record.options.snapshotFolder, "/n");
    EXPECT_EQ(foldersOf(record), (FolderSettings{"/m", "/s", "/n"}));

    FrameState state;
    state.displayRunning = false;
    state.inputHex = false;
    state.outputHex = true;
    state.passSysEx = false;
    state.onTop = true;
    state.alwaysInTray = true;
    storeFrameState(record, state);
    EXPECT_TRUE(record.display.onTop);
    EXPECT_FALSE(record.display.useTray);
    EXPECT_TRUE(record.display.alwaysUseTray);
    const FrameState back = frameStateOf(record);
    EXPECT_FALSE(back.displayRunning);
    EXPECT_FALSE(back.inputHex);
    EXPECT_TRUE(back.outputHex);
    EXPECT_FALSE(back.passSysEx);
    EXPECT_TRUE(back.onTop);
    EXPECT_FALSE(back.minimizeToTray);
    EXPECT_TRUE(back.alwaysInTray);
}

} // namespace
} // namespace corvex
