// What the notification-area ("tray") icon does, without Qt: when the icon is shown and when
// minimising hides the frame into it, what its menu holds, its tip text, which pictures it
// animates through and how fast. The frame applies the answers (FrameTrayIcon shows them).
//
// Where the desktop has no system tray the frame never hides: minimising to the tray (the
// option and --mintray) minimises the window, and both tray options are greyed with a text
// that says why.
//
// Plain logic; user-interface thread.
#pragma once

#include "command_rules.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace corvex {

// Minimising hides the frame and shows the tray icon in its place.
bool hidesIntoTray(const FrameState& state);
// Whether the tray icon is shown: always in the tray, or the frame is hidden in it.
bool trayIconShown(const FrameState& state, bool hiddenInTray);

// A left click on the icon: a minimised or hidden frame comes back, a shown one goes into
// the tray.
enum class TrayClick { RestoreFrame, HideFrame };
TrayClick trayLeftClick(bool frameMinimizedOrHidden);

// The status help of the tray options where the desktop has no tray.
inline constexpr char kNoTrayNotice[] =
    "This desktop has no system tray: Corvex minimises its window instead";

struct TrayMenuState {
    bool frameHidden = false; // minimised or hidden in the tray
    bool midiReleased = false;
    bool globalMapOn = false;
    bool globalMapHasEntries = false;
    int instance = 1;
};

struct TrayMenuItem {
    int command = 0; // 0 for a separator
    std::string text;
    bool checked = false;
    bool enabled = true;
    bool isDefault = false;
};

// Show/Hide (the default item), Release/Attach MIDI, Global Data Map, the GM, GS and XG
// resets and Exit.
std::vector<TrayMenuItem> trayMenuItems(const TrayMenuState& state);

// "Corvex In: 1 Device, Out: 2 Devices" ("Corvex:3 In: ..." for instances above 1); both
// directions read "None" while MIDI is released.
std::string trayTipText(int instance, int inputs, int outputs, bool released);

// The icon files of the tray animation: keys "TrayIcon0".."TrayIcon15" of section
// "Instance<n>" in CORVEX.INI of the program's folder (relative names from that folder), up
// to the first key that is missing, names no file or whose file `loads` refuses. Empty: the
// built-in pictures are used.
std::vector<std::string> trayIconFramePaths(const std::string& programFolder, int instance,
                                            const std::function<bool(const std::string&)>& loads);

// Which picture the icon shows. MIDI activity steps it, but at most once per
// kMinFrameIntervalMs so that a busy stream does not flood the desktop with icon updates.
class TrayAnimation {
public:
    static constexpr int64_t kMinFrameIntervalMs = 125;

    explicit TrayAnimation(int frameCount = 1);

    int frameCount() const { return frameCount_; }
    int current() const { return current_; }
    // Moves to the next picture (the icon was added or its picture is updated).
    int advance();
    // Output was monitored at `nowMs`: true when the picture moved on.
    bool activity(int64_t nowMs);

private:
    int frameCount_;
    int current_ = 0;
    int64_t lastStepMs_ = 0;
    bool stepped_ = false;
};

} // namespace corvex
