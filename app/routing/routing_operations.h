// The routing operations every routing editor shares (the MIDI Devices dialog, the routing
// view, patch maps): connecting and disconnecting inputs and outputs, and setting one
// connection's mask and data map. They work on a RoutingState, the editor's working copy of
// the shown ports, their output maps and the per-connection data maps, and report what they
// touched so that applyRoutingChange() can pass it on in the right order.
//
// User-interface thread only (plain values, no locking).
#pragma once

#include "devices/port_data_map.h"

#include "cvx_records.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace corvex {

inline constexpr int kEventsInput = 135;               // "Corvex Events"
inline constexpr uint32_t kConnectRouteMask = 0x7FFFF; // channels, SysEx, real-time, common

// The ports an editor shows, by device index: inputs without "Corvex Events" (which every
// editor shows as one more input), outputs, and each shown output's map.
struct RoutingState {
    std::vector<int> inputs;
    std::vector<int> outputs;
    std::map<int, CPortMap> outputMaps; // by output device index
    CPortDataMap portDataMap;

    // The shown inputs followed by "Corvex Events".
    std::vector<int> inputsWithEvents() const;
    CPortMap& mapOf(int output) { return outputMaps[output]; }
    bool connected(int input, int output) const;
    uint32_t mask(int input, int output) const;
};

// What an operation changed: the outputs whose maps it touched (each once, in the order
// touched) and whether the data maps may have changed.
struct RoutingChange {
    std::vector<int> touchedOutputs;
    bool portDataMapsChanged = false;

    void touch(int output);
    void include(const RoutingChange& other);
    bool operator==(const RoutingChange&) const = default;
};

// Connect: sets the input's bit with kConnectRouteMask; an input already connected keeps
// its mask (a mask set in the properties survives "Connect All").
RoutingChange connect(RoutingState& state, int input, int output);
RoutingChange connectAll(RoutingState& state);
RoutingChange connectInputPort(RoutingState& state, int input);
RoutingChange connectOutputPort(RoutingState& state, int output);

// Disconnect: clears the input's bit and mask and removes the pair's data map.
RoutingChange disconnect(RoutingState& state, int input, int output);
RoutingChange disconnectAll(RoutingState& state);
RoutingChange disconnectInputPort(RoutingState& state, int input);
RoutingChange disconnectOutputPort(RoutingState& state, int output);

// Replaces the connection's mask and its data map (none removes it). A mask of 0 leaves the
// input connected with nothing passing, as the properties show it.
RoutingChange setConnectionProperties(RoutingState& state, int input, int output, uint32_t mask,
                                      const std::optional<std::string>& mapFile);

// Where the effects of a change go. The program implements it with the engine client, the
// device manager, the settings and the views.
class RoutingEffects {
public:
    virtual ~RoutingEffects() = default;
    virtual void updatePortMap(int output, const CPortMap& map) = 0;
    // Stores the new data maps and re-sends every port data map to the engine.
    virtual void storeAndResendPortDataMaps(const CPortDataMap& maps) = 0;
    virtual void copyToSettings(const RoutingState& state) = 0;
    virtual void redrawViews() = 0;
};

// In this order: UpdatePortMap for each touched output, the data maps when they may have
// changed, the settings, the views. Nothing happens for a change that touched nothing.
void applyRoutingChange(const RoutingState& state, const RoutingChange& change,
                        RoutingEffects& effects);

} // namespace corvex
