#include "tray_icon_rules.h"

#include "command_ids.h"
#include "string_table.h"

#include "ini/profile_document.h"
#include "ini/profile_strings.h"

#include <algorithm>
#include <filesystem>

namespace corvex {
namespace {

constexpr int kMaxTrayFrames = 16;

std::string devicesText(int count) {
    if (count <= 0) {
        return "None";
    }
    return count == 1 ? "1 Device" : std::to_string(count) + " Devices";
}

} // namespace

bool hidesIntoTray(const FrameState& state) {
    return state.trayAvailable && state.minimizeToTray;
}

bool trayIconShown(const FrameState& state, bool hiddenInTray) {
    return state.trayAvailable && (state.alwaysInTray || hiddenInTray);
}

TrayClick trayLeftClick(bool frameMinimizedOrHidden) {
    return frameMinimizedOrHidden ? TrayClick::RestoreFrame : TrayClick::HideFrame;
}

std::vector<TrayMenuItem> trayMenuItems(const TrayMenuState& state) {
    std::string showHide = state.frameHidden ? "S&how Corvex" : "&Hide Corvex";
    if (state.instance > 1) {
        showHide += ":" + std::to_string(state.instance);
    }
    std::vector<TrayMenuItem> items;
    items.push_back({cmd::kShowHide, showHide, false, true, true});
    items.push_back({cmd::kReleaseMidi, state.midiReleased ? "&Attach MIDI" : "&Release MIDI"});
    items.push_back(
        {cmd::kGlobalDataMap, "Global &Data Map", state.globalMapOn, state.globalMapHasEntries});
    items.push_back({});
    items.push_back({cmd::kGmOn, "G&M Reset"});
    items.push_back({cmd::kGsOn, "G&S Reset"});
    items.push_back({cmd::kXgOn, "X&G Reset"});
    items.push_back({});
    items.push_back({cmd::kExit, "E&xit"});
    return items;
}

std::string trayTipText(int instance, int inputs, int outputs, bool released) {
    // A space after "In:" for every instance, so the numbers never run into the word.
    std::string tip = instance > 1 ? "Corvex:" + std::to_string(instance) + " In: " : "Corvex In: ";
    if (released) {
        inputs = outputs = 0;
    }
    return tip + devicesText(inputs) + ", Out: " + devicesText(outputs);
}

std::vector<std::string> trayIconFramePaths(const std::string& programFolder, int instance,
                                            const std::function<bool(const std::string&)>& loads) {
    namespace fs = std::filesystem;
    const fs::path folder(programFolder);
    const cvx::profile::ProfileDocument file = cvx::profile::loadProfileDocument(
        (folder / std::string(loadString(str::kProgramSettingsFile))).string());
    const std::string section = "Instance" + std::to_string(instance);
    std::vector<std::string> paths;
    for (int i = 0; i < kMaxTrayFrames; ++i) {
        const std::optional<std::string> name = file.value(section, "TrayIcon" + std::to_string(i));
        if (!name || name->empty()) {
            break;
        }
        const fs::path given(*name);
        const std::string path = (given.is_absolute() ? given : folder / given).string();
        std::error_code error;
        if (!fs::is_regular_file(path, error) || !loads(path)) {
            break;
        }
        paths.push_back(path);
    }
    return paths;
}

TrayAnimation::TrayAnimation(int frameCount) : frameCount_(std::max(1, frameCount)) {}

int TrayAnimation::advance() {
    current_ = (current_ + 1) % frameCount_;
    return current_;
}

bool TrayAnimation::activity(int64_t nowMs) {
    if (stepped_ && nowMs - lastStepMs_ < kMinFrameIntervalMs && nowMs >= lastStepMs_) {
        return false;
    }
    stepped_ = true;
    lastStepMs_ = nowMs;
    advance();
    return true;
}

} // namespace corvex
