// The selection of ports and their routing: which inputs and outputs the user chose (by
// display name, in the stored order), each selected output's CPortMap translated between
// stored input positions and engine indices, the per-connection data maps, and the routing
// of inputs that failed to open (kept so that they get it back when they open again).
//
// User-interface thread only.
#pragma once

#include "device_roster.h"
#include "device_settings.h"
#include "port_data_map.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace corvex {

class PortSelection {
public:
    static constexpr int kGeneratedPort = 135; // input index of "Corvex Events"
    static constexpr uint32_t kDefaultRouteMask = 0x3FFFF;

    explicit PortSelection(DeviceRoster& roster) : roster_(roster) {}

    // The stored selection that restore() applies.
    void setStored(StoredSelection stored) { remembered_ = std::move(stored); }
    // Selects the stored ports by display name and gives the outputs their stored routing
    // (the default routing where none is stored), then rebuilds the per-route data maps.
    void restore();
    // The stored form of the selection, routing and data maps (devices absent now keep
    // theirs).
    StoredSelection save();
    // The ports were renamed: stored names follow (`before` and `after` by slot).
    void renameStored(const std::vector<std::string>& inputsBefore,
                      const std::vector<std::string>& outputsBefore);

    CPortDataMap& portDataMap() { return portDataMap_; }
    const CPortDataMap& portDataMap() const { return portDataMap_; }

    // Before opening: inputs that failed last time are connected again, with their masks.
    void reconnectFailedInputs();
    // An input failed to open: it leaves the routing of every selected output, so nothing
    // waits on it, but its masks are kept for the stored selection.
    void inputFailed(int deviceIndex);
    // The devices were enumerated anew: no failure refers to them.
    void forgetFailures() { failedInputs_.clear(); }

private:
    StoredSelection selectionOfPorts() const;
    void restoreOutput(CMidiOut& output, const std::optional<CPortMap>& stored, bool first);
    void restoreRouteMaps();
    bool failed(int deviceIndex) const;

    DeviceRoster& roster_;
    StoredSelection remembered_;
    CPortDataMap portDataMap_;
    std::vector<int> failedInputs_; // device indices that failed at the last open
};

} // namespace corvex
