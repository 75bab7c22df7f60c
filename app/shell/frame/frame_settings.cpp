#include "frame_settings.h"

#include <algorithm>

namespace corvex {

GeneralOptions generalOptionsOf(const SettingsProfile& record) {
    GeneralOptions options;
    options.showTooltips = record.options.toolTips;
    options.verboseDeviceInfo = record.display.verbose;
    options.showPatchNames = record.display.displayGMPatches;
    options.abbreviatePortNames = record.display.displayPortNames;
    options.channelColours = record.display.displayChannelColours;
    options.middleCOctave = std::clamp(record.options.octave, kMinMiddleCOctave, kMaxMiddleCOctave);
    options.panicNoteOffs = record.display.fullPanic;
    options.runningStatus = record.options.runningStatus;
    const int mode = record.display.backgroundBitmap;
    options.background = mode >= 0 && mode <= static_cast<int>(BackgroundMode::File)
                             ? static_cast<BackgroundMode>(mode)
                             : BackgroundMode::None;
    options.backgroundPath = record.display.backgroundPath;
    return options;
}

void storeGeneralOptions(SettingsProfile& record, const GeneralOptions& options) {
    record.options.toolTips = options.showTooltips;
    record.display.verbose = options.verboseDeviceInfo;
    record.display.displayGMPatches = options.showPatchNames;
    record.display.displayPortNames = options.abbreviatePortNames;
    record.display.displayChannelColours = options.channelColours;
    record.options.octave = std::clamp(options.middleCOctave, kMinMiddleCOctave, kMaxMiddleCOctave);
    record.display.fullPanic = options.panicNoteOffs;
    record.options.runningStatus = options.runningStatus;
    record.display.backgroundBitmap = static_cast<int>(options.background);
    record.display.backgroundPath = options.backgroundPath;
}

FolderSettings foldersOf(const SettingsProfile& record) {
    return {record.options.mapFolder, record.options.sysexFolder, record.options.snapshotFolder};
}

void storeFolders(SettingsProfile& record, const FolderSettings& folders) {
    record.options.mapFolder = folders.mapFolder;
    record.options.sysexFolder = folders.sysexFolder;
    record.options.snapshotFolder = folders.snapshotFolder;
}

FrameState frameStateOf(const SettingsProfile& record) {
    FrameState state;
    state.displayRunning = record.options.displayEvents;
    state.inputHex = record.display.monitorInputHex;
    state.outputHex = record.display.monitorOutputHex;
    state.passSysEx = record.options.passSysex;
    state.onTop = record.display.onTop;
    state.minimizeToTray = record.display.useTray;
    state.alwaysInTray = record.display.alwaysUseTray;
    return state;
}

void storeFrameState(SettingsProfile& record, const FrameState& state) {
    record.options.displayEvents = state.displayRunning;
    record.display.monitorInputHex = state.inputHex;
    record.display.monitorOutputHex = state.outputHex;
    record.options.passSysex = state.passSysEx;
    record.display.onTop = state.onTop;
    record.display.useTray = state.minimizeToTray;
    record.display.alwaysUseTray = state.alwaysInTray;
}

} // namespace corvex
