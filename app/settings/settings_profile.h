// The settings record: every persistent option of corvex, read with its default at start-up
// from the store (the global values and this instance's branch "Profile <n>") and written
// back whole at exit. Values whose feature arrives later are still read, kept and written
// back unchanged, so an older build loses nothing a newer one stored. Values other code
// keeps in the store itself ("LastOpenFailed", the instance table, toolbar, presets, custom
// port names, favourites, the upgrade flags) are neither read nor written here.
//
// A plain value type: use one object from one thread at a time (the user-interface thread).
#pragma once

#include "colour_table.h"
#include "settings/settings_store.h"
#include "settings/window_placement.h"
#include "status_columns.h"

#include "cvx_records.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace corvex {

// Limits of the stored device selection.
inline constexpr size_t kMaxSelectedPorts = 136;
inline constexpr size_t kMaxPortNameLength = 127;
// The layout's window kinds: main monitor, input monitor, MIDI status, port status, routing.
inline constexpr size_t kLayoutWindowKinds = 5;
inline constexpr int kMinRouteZoom = 75;
inline constexpr int kMaxRouteZoom = 250;
inline constexpr uint32_t kDefaultStoredRouteMask = 0x3FFFF; // channels, SysEx, realtime

// What the defaults depend on: the display's colours and the user's data folder.
struct SettingsDefaults {
    ColourScheme colours = defaultColours();
    std::string dataFolder; // empty when none could be determined

    // The high-colour set with the built-in system colours, and the data folder (created
    // when missing; empty when it cannot be made).
    static SettingsDefaults standard();
};

// Key "Options" of the store's root.
struct GlobalOptions {
    bool thruOn = true;
    bool displayEvents = true; // monitoring display running
    bool passSysex = true;
    bool toolTips = true;
    bool runningStatus = false;
    int octave = 4; // middle-C setting
    bool autoAttachInputs = true;
    int bufferCount = 8; // SysEx input buffers
    int bufferSize = 8192;
    int outputBufferCount = 8;
    int outputBufferSize = 8192;
    std::string sysexFolder;    // "SysxDir"
    std::string mapFolder;      // "MapDir"
    std::string snapshotFolder; // "SnapshotDir"
    std::string midiPlayer;
    std::string instrumentFolder; // "InstrDir": default the data folder
    std::string instrumentFile;   // "InstrFile"
    std::string instrumentName;   // "InstrDefn"
    std::string scriptFolder;     // "ScriptDir": default the data folder's "Script"
};

// Key "SysEx" of the root: SysEx output timing.
struct SysexTiming {
    bool configureBuffers = false; // "Configure SysEx Buffers"
    int delayAmount = 60;
    int outBufferDelayAmount = 0;
};

// Key "Monitor" of the root: the monitors' font.
struct MonitorFont {
    std::string faceName = "Courier New";
    int size = 9; // points
    bool bold = false;
    bool italic = false;
};

// Subkey "Display" of the instance branch.
struct DisplaySettings {
    WindowPlacement windowPos = normalPlacement({20, 100, 551, 381}); // the frame
    PlacementRect midiDevicesRect;                                    // "MIDIDev Dims"
    std::array<WindowPlacement, kLayoutWindowKinds> mdiPos = {
        neverPlacedPlacement(), neverPlacedPlacement(), neverPlacedPlacement(),
        neverPlacedPlacement(), neverPlacedPlacement()};
    PlacementRect luaWindowRect; // "LuaWndRect"
    bool luaWindowOpen = false;  // "LuaWndOpen"
    uint32_t windowLayout = 1;   // "MDIWinLayout": count in bits 0-3, kinds in later nibbles
    bool monitorInputHex = true;
    bool monitorOutputHex = true;
    bool onTop = false;
    bool useTray = false;
    bool alwaysUseTray = false; // "AwaysUseTray"
    bool displayGMPatches = true;
    bool displayPortNames = false;
    bool verbose = true;
    bool fullPanic = true;
    int backgroundBitmap = 1; // picture mode 0..3
    std::string backgroundPath;
    bool displayChannelColours = false;
    ColourScheme colours = defaultColours();
    StatusColumns statusColumns = defaultStatusColumns();
    bool snapshotControllers = true; // "Snapshot Ctrl"
    bool snapshotMode = false;
    bool snapshotExtra = true;
};

// Subkey "Options" of the instance branch: transports and routing view.
struct InstanceOptions {
    int mtcOffset = 0;
    int mtcTimerResolution = 5;
    int mtcFrameRate = 30;
    int mtcSlow30 = 0;
    int tempo = 100;
    int syncTimer = 5;
    int timebase = 120;
    int meterTop = 4;
    int meterBottom = 4;
    int routeZoom = 100; // percent, kept within kMinRouteZoom..kMaxRouteZoom
};

// One per-connection data map, numbered as stored: output and input by their 1-based
// position in the selection lists; input 0 is the generated-event port ("_CVX").
struct PortDataMapSetting {
    int output = 1;
    int input = 0;
    std::string path;

    bool operator==(const PortDataMapSetting&) const = default;
};

// Subkey "MIDI Devices" of the instance branch.
struct DeviceSelection {
    std::vector<std::string> inputs;  // selected input names, in selection order
    std::vector<std::string> outputs; // selected output names
    // One routing record per selected output, indexed by input position (input k at index
    // k - 1; index 135 is the generated-event port).
    std::vector<CPortMap> outputMaps;
    std::vector<PortDataMapSetting> portDataMaps;
};

// The routing record an output gets when none is stored: the first output takes every
// selected input and the generated-event port, later outputs only the generated-event
// port, each with kDefaultStoredRouteMask.
CPortMap defaultOutputMap(size_t outputPosition, size_t inputCount);
// A stored 564-byte map as it is used: an input among the first `inputCount` positions, and
// the generated-event port, is connected exactly when its stored mask is not 0; the stored
// bits, and masks past the stored inputs, are not trusted.
CPortMap portMapFromStoredMasks(const CPortMap& stored, size_t inputCount);

// Subkey "PatchMap" of the instance branch.
struct PatchMapSettings {
    bool enabled = false;
    bool numberFrom1 = false; // "Number 1-128"
    bool resendPatch = true;
    uint32_t channelTable = 1; // "Chan Table": bit n = channel n + 1
    std::string path = "patchmap.pmi";
};

// Subkey "Log File" of the instance branch.
struct LogFileSettings {
    std::string path = "MIDILog.txt";
    int format = 0; // "Log M2T"
    bool warn = true;
    bool enabled = false;
    bool append = true;
};

// Subkey "Data Map" of the instance branch: kept for the data-map code, which reads the
// map itself.
struct DataMapSettings {
    std::optional<std::vector<uint8_t>> mapParms; // "Map Parms v2", as stored
    std::optional<std::string> sysMapFile;        // "Sys Map File"
    bool appendMaps = false;
    uint32_t lastNamedPreset = 0;
};

// The filter used when none is stored: every real-time message filtered.
CFilter defaultFilter();

struct SettingsProfile {
    std::array<Colour, 16> customColours{}; // the colour dialog's custom colours
    GlobalOptions options;
    SysexTiming sysex;
    MonitorFont monitorFont;

    CFilter filter = defaultFilter();
    DisplaySettings display;
    InstanceOptions instanceOptions;
    DeviceSelection devices;
    DataMapSettings dataMap;
    PatchMapSettings patchMap;
    LogFileSettings logFile;

    // The profile file last exported or imported (not stored).
    std::string profilePath;

    // Every value at its default.
    static SettingsProfile
    defaults(const SettingsDefaults& defaults = SettingsDefaults::standard());

    // Reads the global values and instance `instance`'s branch over the defaults: a value
    // that is missing, of another type or of another size than expected keeps its default.
    static SettingsProfile load(SettingsStore& store, int instance,
                                const SettingsDefaults& defaults = SettingsDefaults::standard());
    void readFrom(const SettingsTree& tree, int instance);

    // Writes every value (one locked read-modify-write); values of the store this record
    // does not hold stay as they are. False when the store could not be written.
    bool save(SettingsStore& store, int instance) const;
    void writeTo(SettingsTree& tree, int instance) const;
};

// The instance branch's key path, "Profile <n>".
std::string instanceKey(int instance);

} // namespace corvex
