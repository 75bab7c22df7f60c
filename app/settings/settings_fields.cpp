#include "settings_fields.h"

#include <array>

namespace corvex::fields {

namespace {

template <auto Group, auto Member>
NumberField number(Scope scope, const char* key, const char* name, const char* section,
                   int64_t min = INT32_MIN, int64_t max = INT32_MAX) {
    return {scope,
            key,
            name,
            section,
            [](const SettingsProfile& record) -> int64_t {
                return static_cast<int64_t>(record.*Group.*Member);
            },
            [](SettingsProfile& record, int64_t value) {
                using Type = std::remove_reference_t<decltype(record.*Group.*Member)>;
                record.*Group.*Member = static_cast<Type>(value);
            },
            min,
            max};
}

template <auto Group, auto Member>
TextField text(Scope scope, const char* key, const char* name, const char* section) {
    return {
        scope,
        key,
        name,
        section,
        [](const SettingsProfile& record) -> const std::string& { return record.*Group.*Member; },
        [](SettingsProfile& record) -> std::string& { return record.*Group.*Member; }};
}

using P = SettingsProfile;
constexpr Scope kRoot = Scope::Root;
constexpr Scope kInstance = Scope::Instance;
constexpr int64_t kU16 = 65535;

const std::array kNumberFields = {
    // Root key "Options", exported in "Options".
    number<&P::options, &GlobalOptions::thruOn>(kRoot, kOptions, "Thru On", kOptions),
    number<&P::options, &GlobalOptions::displayEvents>(kRoot, kOptions, "Display Events", kOptions),
    number<&P::options, &GlobalOptions::passSysex>(kRoot, kOptions, "Pass Sysx", kOptions),
    number<&P::options, &GlobalOptions::toolTips>(kRoot, kOptions, "ToolTips", kOptions),
    number<&P::options, &GlobalOptions::runningStatus>(kRoot, kOptions, "RunningStatus", kOptions),
    number<&P::options, &GlobalOptions::octave>(kRoot, kOptions, "Octave", kOptions),
    number<&P::options, &GlobalOptions::autoAttachInputs>(kRoot, kOptions, "AutoAttach Inputs",
                                                          kOptions),
    number<&P::options, &GlobalOptions::bufferCount>(kRoot, kOptions, "Buffer Count", kOptions, 0,
                                                     kU16),
    number<&P::options, &GlobalOptions::bufferSize>(kRoot, kOptions, "Buffer Size", kOptions, 0,
                                                    kU16),
    number<&P::options, &GlobalOptions::outputBufferCount>(kRoot, kOptions, "Output Buffer Count",
                                                           kOptions, 0, kU16),
    number<&P::options, &GlobalOptions::outputBufferSize>(kRoot, kOptions, "Output Buffer Size",
                                                          kOptions, 0, kU16),
    // Root key "SysEx".
    number<&P::sysex, &SysexTiming::configureBuffers>(kRoot, "SysEx", "Configure SysEx Buffers",
                                                      nullptr),
    number<&P::sysex, &SysexTiming::delayAmount>(kRoot, "SysEx", "DelayAmount", nullptr),
    number<&P::sysex, &SysexTiming::outBufferDelayAmount>(kRoot, "SysEx", "OutBufferDelayAmount",
                                                          nullptr),
    // Root key "Monitor".
    number<&P::monitorFont, &MonitorFont::size>(kRoot, "Monitor", "Size", nullptr, 1, 1000),
    number<&P::monitorFont, &MonitorFont::bold>(kRoot, "Monitor", "Bold", nullptr),
    number<&P::monitorFont, &MonitorFont::italic>(kRoot, "Monitor", "Italic", nullptr),
    // Instance "Display".
    number<&P::display, &DisplaySettings::luaWindowOpen>(kInstance, kDisplay, "LuaWndOpen",
                                                         nullptr),
    number<&P::display, &DisplaySettings::monitorInputHex>(kInstance, kDisplay, "Monitor Input Hex",
                                                           kDisplay),
    number<&P::display, &DisplaySettings::monitorOutputHex>(kInstance, kDisplay,
                                                            "Monitor Output Hex", kDisplay),
    number<&P::display, &DisplaySettings::onTop>(kInstance, kDisplay, "On Top", kDisplay),
    number<&P::display, &DisplaySettings::useTray>(kInstance, kDisplay, "Use Tray", kDisplay),
    number<&P::display, &DisplaySettings::alwaysUseTray>(kInstance, kDisplay, "AwaysUseTray",
                                                         kDisplay),
    number<&P::display, &DisplaySettings::displayGMPatches>(kInstance, kDisplay, "DisplayGMPatches",
                                                            kDisplay),
    number<&P::display, &DisplaySettings::displayPortNames>(kInstance, kDisplay, "DisplayPortNames",
                                                            kDisplay),
    number<&P::display, &DisplaySettings::verbose>(kInstance, kDisplay, "Verbose", kDisplay),
    number<&P::display, &DisplaySettings::fullPanic>(kInstance, kDisplay, "Full Panic", kDisplay),
    number<&P::display, &DisplaySettings::backgroundBitmap>(kInstance, kDisplay,
                                                            "Background Bitmap", kDisplay, 0, 3),
    number<&P::display, &DisplaySettings::displayChannelColours>(kInstance, kDisplay,
                                                                 "DisplayChannelColors", kDisplay),
    number<&P::display, &DisplaySettings::snapshotControllers>(kInstance, kDisplay, "Snapshot Ctrl",
                                                               kDisplay),
    number<&P::display, &DisplaySettings::snapshotMode>(kInstance, kDisplay, "Snapshot Mode",
                                                        kDisplay),
    number<&P::display, &DisplaySettings::snapshotExtra>(kInstance, kDisplay, "Snapshot Extra",
                                                         kDisplay),
    // Instance "Options", exported in "Options" after the root's options.
    number<&P::instanceOptions, &InstanceOptions::mtcOffset>(kInstance, kOptions, "MTC Offset",
                                                             kOptions),
    number<&P::instanceOptions, &InstanceOptions::mtcTimerResolution>(
        kInstance, kOptions, "MTC Timer Resolution", kOptions),
    number<&P::instanceOptions, &InstanceOptions::mtcFrameRate>(kInstance, kOptions,
                                                                "MTC Frame Rate", kOptions),
    number<&P::instanceOptions, &InstanceOptions::mtcSlow30>(kInstance, kOptions, "MTC Slow30",
                                                             kOptions),
    number<&P::instanceOptions, &InstanceOptions::syncTimer>(kInstance, kOptions, "Sync Timer",
                                                             kOptions),
    number<&P::instanceOptions, &InstanceOptions::tempo>(kInstance, kOptions, "Tempo", kOptions),
    number<&P::instanceOptions, &InstanceOptions::timebase>(kInstance, kOptions, "Timebase",
                                                            kOptions),
    number<&P::instanceOptions, &InstanceOptions::meterTop>(kInstance, kOptions, "Meter Top",
                                                            kOptions),
    number<&P::instanceOptions, &InstanceOptions::meterBottom>(kInstance, kOptions, "Meter Bottom",
                                                               kOptions),
    number<&P::instanceOptions, &InstanceOptions::routeZoom>(kInstance, kOptions, "RouteZoom",
                                                             nullptr, kMinRouteZoom, kMaxRouteZoom),
    // Instance "PatchMap".
    number<&P::patchMap, &PatchMapSettings::enabled>(kInstance, "PatchMap", "Enable", nullptr),
    number<&P::patchMap, &PatchMapSettings::numberFrom1>(kInstance, "PatchMap", "Number 1-128",
                                                         nullptr),
    number<&P::patchMap, &PatchMapSettings::resendPatch>(kInstance, "PatchMap", "ResendPatch",
                                                         nullptr),
    number<&P::patchMap, &PatchMapSettings::channelTable>(kInstance, "PatchMap", "Chan Table",
                                                          nullptr, 0, UINT32_MAX),
    // Instance "Log File".
    number<&P::logFile, &LogFileSettings::enabled>(kInstance, kLogFile, "Enabled", kLogFile),
    number<&P::logFile, &LogFileSettings::append>(kInstance, kLogFile, "Append", kLogFile),
    number<&P::logFile, &LogFileSettings::warn>(kInstance, kLogFile, "Warn", kLogFile),
    number<&P::logFile, &LogFileSettings::format>(kInstance, kLogFile, "Log M2T", kLogFile),
    // Instance "Data Map".
    number<&P::dataMap, &DataMapSettings::appendMaps>(kInstance, "Data Map", "AppendMaps", nullptr),
    number<&P::dataMap, &DataMapSettings::lastNamedPreset>(kInstance, "Data Map", "LastNamedPreset",
                                                           nullptr, 0, UINT32_MAX),
};

const std::array kTextFields = {
    text<&P::options, &GlobalOptions::sysexFolder>(kRoot, kOptions, "SysxDir", kOptions),
    text<&P::options, &GlobalOptions::mapFolder>(kRoot, kOptions, "MapDir", kOptions),
    text<&P::options, &GlobalOptions::snapshotFolder>(kRoot, kOptions, "SnapshotDir", kOptions),
    text<&P::options, &GlobalOptions::midiPlayer>(kRoot, kOptions, "MIDI Player", kOptions),
    text<&P::options, &GlobalOptions::instrumentFolder>(kRoot, kOptions, "InstrDir", kOptions),
    text<&P::options, &GlobalOptions::instrumentFile>(kRoot, kOptions, "InstrFile", kOptions),
    text<&P::options, &GlobalOptions::instrumentName>(kRoot, kOptions, "InstrDefn", kOptions),
    text<&P::options, &GlobalOptions::scriptFolder>(kRoot, kOptions, "ScriptDir", kOptions),
    text<&P::monitorFont, &MonitorFont::faceName>(kRoot, "Monitor", "Face Name", nullptr),
    text<&P::display, &DisplaySettings::backgroundPath>(kInstance, kDisplay, "Background Path",
                                                        kDisplay),
    text<&P::patchMap, &PatchMapSettings::path>(kInstance, "PatchMap", "Path", nullptr),
    text<&P::logFile, &LogFileSettings::path>(kInstance, kLogFile, "Log Path", kLogFile),
};

} // namespace

std::span<const NumberField> numberFields() {
    return kNumberFields;
}
std::span<const TextField> textFields() {
    return kTextFields;
}

std::string fieldKey(Scope scope, const char* key, int instance) {
    return scope == Scope::Root ? std::string(key) : joinKeyPath(instanceKey(instance), key);
}

} // namespace corvex::fields
