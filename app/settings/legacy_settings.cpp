#include "legacy_settings.h"

#include "number_list.h"
#include "port_names.h"
#include "settings_upgrades.h"

#include "ini/profile_strings.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace corvex {

namespace {

using cvx::profile::ProfileDocument;
using cvx::profile::profileIntOf;

constexpr char kDisplayWindow[] = "Display Window";
constexpr char kOptions[] = "Options";
constexpr char kFilter[] = "Filter";
constexpr size_t kPlacementNumbers = 10;

struct LegacyColour {
    const char* key;
    size_t index;
    const char* fallback; // nullptr: the current default
};

constexpr std::array<LegacyColour, 13> kLegacyColours = {{
    {"BackGround", kMonitorBackground, "0,0,0"},
    {"TextColor", kMonitorText, "192,192,192"},
    {"LblBkGd", kLabelBackground, nullptr},
    {"LblText", kLabelText, nullptr},
    {"StsBkGd", kStatusBackground, nullptr},
    {"StsText", kStatusText, nullptr},
    {"ClrNoteOff", kNoteOffColour, "0,128,0"},
    {"ClrNoteOn", kNoteOnColour, "0,255,0"},
    {"ClrAfterTouch", kAftertouchColour, "128,0,128"},
    {"ClrControlChg", kControllerColour, "0,0,255"},
    {"ClrProgramChg", kProgramChangeColour, "255,0,255"},
    {"ClrPitchBend", kPitchBendColour, "255,0,0"},
    {"ClrSystemMsg", kSystemExclusiveColour, "255,255,0"},
}};

struct LegacyFilterBit {
    const char* key;
    uint32_t bit;
    int fallback;
};

constexpr std::array<LegacyFilterBit, 11> kLegacyFilterBits = {{
    {"NoteOn", 16, 0},
    {"NoteOff", 17, 0},
    {"KeyAfter", 18, 0},
    {"CtrlChange", 19, 0},
    {"ProgChange", 20, 0},
    {"ChanAfter", 21, 0},
    {"PitchBend", 22, 0},
    {"SysCommon", 24, 0},
    {"SysRealTime", 25, 1},
    {"ActiveSense", 26, 1},
    {"FilterData", 27, 1},
}};

WindowPlacement legacyPlacement(const ProfileDocument& legacy) {
    if (auto text = legacy.value(kDisplayWindow, "WindowPos")) {
        std::vector<long long> n = leadingNumbers(*text, kPlacementNumbers);
        if (n.size() == kPlacementNumbers) {
            auto i32 = [](long long v) { return static_cast<int32_t>(v); };
            WindowPlacement placement;
            placement.flags = static_cast<uint32_t>(n[0]);
            placement.showCommand = static_cast<uint32_t>(n[1]);
            placement.minimizedX = i32(n[2]);
            placement.minimizedY = i32(n[3]);
            placement.maximizedX = i32(n[4]);
            placement.maximizedY = i32(n[5]);
            placement.normal = {i32(n[6]), i32(n[7]), i32(n[8]), i32(n[9])};
            return placement;
        }
    }
    int x = profileIntOf(legacy, kDisplayWindow, "x", 20);
    int y = profileIntOf(legacy, kDisplayWindow, "y", 100);
    int w = profileIntOf(legacy, kDisplayWindow, "w", 531);
    int h = profileIntOf(legacy, kDisplayWindow, "h", 281);
    return placementOf({x, y, w, h, WindowGeometry::State::Normal});
}

void readLegacyColours(const ProfileDocument& legacy, ColourScheme& colours) {
    for (const LegacyColour& entry : kLegacyColours) {
        std::optional<std::string> text = legacy.value(kDisplayWindow, entry.key);
        if (!text && entry.fallback != nullptr) {
            text = entry.fallback;
        }
        if (text) {
            colours[entry.index] =
                parseColourText(text->substr(0, text->find(';'))).value_or(colours[entry.index]);
        }
    }
}

void readLegacyOptions(const ProfileDocument& legacy, SettingsProfile& record) {
    record.options.thruOn = profileIntOf(legacy, kOptions, "ThruOn", 0) != 0;
    record.display.onTop = profileIntOf(legacy, kOptions, "OnTop", 0) != 0;
    record.options.passSysex = profileIntOf(legacy, kOptions, "PassSysEx", 0) != 0;
    record.options.toolTips = profileIntOf(legacy, kOptions, "Tooltips", 1) != 0;
    record.options.octave = profileIntOf(legacy, kOptions, "Octave", 4);
    record.options.bufferCount =
        std::clamp(profileIntOf(legacy, kOptions, "BufferCount", 8), 0, 65535);
    record.options.bufferSize =
        std::clamp(profileIntOf(legacy, kOptions, "BufferSize", 8192), 0, 65535);
    record.sysex.delayAmount = profileIntOf(legacy, kOptions, "SysexDelay", 55);
    record.options.sysexFolder = legacy.value(kOptions, "SysexFileDir").value_or("");
}

void appendNames(const ProfileDocument& legacy, const char* section, const char* prefix,
                 std::vector<std::string>& names) {
    for (size_t i = 1; i <= kMaxSelectedPorts && names.size() < kMaxSelectedPorts; ++i) {
        std::optional<std::string> name = legacy.value(section, prefix + std::to_string(i));
        if (!name) {
            return;
        }
        if (std::find(names.begin(), names.end(), *name) == names.end()) {
            names.push_back(limitPortName(*name));
        }
    }
}

void readLegacyDevices(const ProfileDocument& legacy, DeviceSelection& devices) {
    devices = {};
    appendNames(legacy, "MidiInputDevice", "In", devices.inputs);
    appendNames(legacy, "MidiInputDevice2", "2ndIn", devices.inputs);
    appendNames(legacy, "MidiOutputDevice", "Out", devices.outputs);
    appendNames(legacy, "MidiOutputDevice2", "2ndOut", devices.outputs);
    for (size_t output = 1; output <= devices.outputs.size(); ++output) {
        devices.outputMaps.push_back(defaultOutputMap(output, devices.inputs.size()));
    }
}

CFilter readLegacyFilter(const ProfileDocument& legacy) {
    std::array<uint8_t, kOldFilterBytes> old{};
    uint32_t flags = 0;
    for (uint32_t channel = 0; channel < 16; ++channel) {
        std::string key = "Channel" + std::to_string(channel + 1);
        flags |= profileIntOf(legacy, kFilter, key, 0) != 0 ? 1u << channel : 0;
    }
    for (const LegacyFilterBit& entry : kLegacyFilterBits) {
        flags |=
            profileIntOf(legacy, kFilter, entry.key, entry.fallback) != 0 ? 1u << entry.bit : 0;
    }
    for (size_t i = 0; i < 4; ++i) {
        old[i] = static_cast<uint8_t>(flags >> (8 * i));
    }
    for (size_t controller = 0; controller < 128; ++controller) {
        std::string key = "Ctrl" + std::to_string(controller);
        old[4 + controller] = profileIntOf(legacy, kFilter, key, 0) != 0 ? 1 : 0;
    }
    return convertOldFilter(old);
}

} // namespace

void readLegacySettings(const ProfileDocument& legacy, SettingsProfile& record) {
    record.display.windowPos = legacyPlacement(legacy);
    readLegacyColours(legacy, record.display.colours);
    readLegacyOptions(legacy, record);
    readLegacyDevices(legacy, record.devices);
    record.filter = readLegacyFilter(legacy);
    record.logFile.path = legacy.value("LogFile", "LogPath").value_or("MIDILog.txt");
    record.logFile.enabled = profileIntOf(legacy, "LogFile", "Enabled", 0) != 0;
    record.logFile.append = profileIntOf(legacy, "LogFile", "Append", 1) != 0;
}

} // namespace corvex
