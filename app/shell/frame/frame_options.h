// The settings the frame's own dialogs edit: the General Options dialog and the Folders
// dialog. Plain values; the program maps them to and from its settings record.
#pragma once

#include <string>

namespace corvex {

enum class BackgroundMode : int { None = 0, Picture1 = 1, Picture2 = 2, File = 3 };

struct GeneralOptions {
    bool showTooltips = true;
    bool verboseDeviceInfo = false;
    bool showPatchNames = false;
    bool abbreviatePortNames = false;
    bool channelColours = false;
    int middleCOctave = 4;      // 1..7
    bool panicNoteOffs = false; // individual Note Offs during a panic
    bool runningStatus = false; // sent to the engine at once
    BackgroundMode background = BackgroundMode::None;
    std::string backgroundPath; // the picture file of BackgroundMode::File

    bool operator==(const GeneralOptions&) const = default;
};

inline constexpr int kMinMiddleCOctave = 1;
inline constexpr int kMaxMiddleCOctave = 7;

// The configured folders of the Folders dialog.
struct FolderSettings {
    std::string mapFolder;
    std::string sysexFolder;
    std::string snapshotFolder;

    bool operator==(const FolderSettings&) const = default;
};

} // namespace corvex
