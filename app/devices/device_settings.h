// What the device manager needs from the program's settings, as plain values: the program
// maps its settings record to DeviceSettings before enumerating and copies the selection
// back (CMidi::saveSelections) before it stores the settings. The device manager never reads
// the settings store itself, except for the crash guard below, which must reach the disk
// at once.
//
// All of it is used on the user-interface thread only.
#pragma once

#include "cvx_records.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace corvex {

// The SysEx buffers the ports get ("Pass SysEx", "Buffer Count", "Buffer Size", "Output
// Buffer Count", "Output Buffer Size").
struct SysExBufferConfig {
    bool enabled = false;
    uint16_t inputCount = 8;
    uint16_t inputSize = 8192;
    uint16_t outputCount = 8;
    uint16_t outputSize = 8192;

    bool operator==(const SysExBufferConfig&) const = default;
};

// A per-connection data map as stored: output and input by their 1-based position in the
// stored name lists, input 0 meaning "Corvex Events".
struct StoredRouteMap {
    int outputPosition = 0;
    int inputPosition = 0;
    std::string path;

    bool operator==(const StoredRouteMap&) const = default;
};

// The stored form of the selection: ports by name ("In%d", "Out%d"), and for each selected
// output its map ("OutMap%d") with bits and masks indexed by the 0-based position of the
// input in `inputs` (bit and mask 135 are "Corvex Events"). An output without a stored map
// gets the default routing when the selection is restored.
struct StoredSelection {
    std::vector<std::string> inputs;
    std::vector<std::string> outputs;
    std::vector<std::optional<CPortMap>> outputMaps; // one per output, may be shorter
    std::vector<StoredRouteMap> routeMaps;
};

struct DeviceSettings {
    int profileNumber = 1;
    StoredSelection selection;
    // Custom display names ("Custom In Names", "Custom Out Names"): device name -> custom.
    std::map<std::string, std::string> customInputNames;
    std::map<std::string, std::string> customOutputNames;
    SysExBufferConfig sysex;
    bool verboseDeviceInfo = true; // "Verbose": routing details in the device listing
    // The version and title written into the device log header.
    std::string applicationTitle = "Corvex";
    std::string versionText;
};

// The crash guard "LastOpenFailed" under "Profile %d\MIDI Devices": every write must be on
// disk when the call returns, because the next thing that happens may be a driver taking the
// process down.
class OpenGuardStore {
public:
    virtual ~OpenGuardStore() = default;
    virtual int lastOpenFailed() = 0;
    virtual void setLastOpenFailed(int value) = 0;
};

} // namespace corvex
