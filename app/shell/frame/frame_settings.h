// The frame's options and toggles in the settings record: what the General Options and
// Folders dialogs edit and the menu states saved at exit, read from and written into a
// SettingsProfile, so the program keeps one record and the frame sees only its own values.
// Plain logic; use with one record from one thread.
#pragma once

#include "command_rules.h"
#include "frame_options.h"
#include "settings_profile.h"

namespace corvex {

GeneralOptions generalOptionsOf(const SettingsProfile& record);
void storeGeneralOptions(SettingsProfile& record, const GeneralOptions& options);

FolderSettings foldersOf(const SettingsProfile& record);
void storeFolders(SettingsProfile& record, const FolderSettings& folders);

// The saved toggles: monitoring displayed, the two hex displays, Pass SysEx, On Top and the
// two tray options. Run-time
// state (open windows, the keyboard) starts cleared.
FrameState frameStateOf(const SettingsProfile& record);
void storeFrameState(SettingsProfile& record, const FrameState& state);

} // namespace corvex
