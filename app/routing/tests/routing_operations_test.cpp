#include "routing/routing_operations.h"

#include "devices/port_routing_bits.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace corvex {
namespace {

constexpr uint32_t kEdited = 0x00FF;

// Inputs 2 and 5, outputs 0 and 3; input 2 feeds output 0 with an edited mask and a data
// map, "Corvex Events" feeds output 3 with a data map.
RoutingState startingState() {
    RoutingState state;
    state.inputs = {2, 5};
    state.outputs = {0, 3};
    connectInput(state.mapOf(0), 2, kEdited);
    connectInput(state.mapOf(3), kEventsInput, kConnectRouteMask);
    state.portDataMap.add(0, 2, "/maps/a.map");
    state.portDataMap.add(3, kEventsInput, "/maps/b.map");
    return state;
}

// The connections as (input, output, mask) triples, in output then input order.
struct Connection {
    int input;
    int output;
    uint32_t mask;
    bool operator==(const Connection&) const = default;
};

std::vector<Connection> connections(const RoutingState& state) {
    std::vector<Connection> all;
    for (const auto& [output, map] : state.outputMaps) {
        for (int input = 0; input <= kEventsInput; ++input) {
            if (inputConnected(map, input)) {
                all.push_back({input, output, map.inputMasks[input]});
            } else {
                EXPECT_EQ(map.inputMasks[input], 0u) << "stale mask " << input << "->" << output;
            }
        }
    }
    return all;
}

std::vector<std::pair<int, int>> dataMapPairs(const RoutingState& state) {
    std::vector<std::pair<int, int>> pairs;
    for (const CPortDataMap::Entry& entry : state.portDataMap.entries()) {
        pairs.emplace_back(entry.output, entry.input);
    }
    return pairs;
}

struct OperationCase {
    const char* name;
    std::function<RoutingChange(RoutingState&)> operation;
    std::vector<Connection> connections;
    std::vector<std::pair<int, int>> dataMaps; // (output, input)
    RoutingChange change;
};

constexpr uint32_t kAll = kConnectRouteMask;
constexpr int kEv = kEventsInput;

TEST(RoutingOperations, EveryOperationOfTheTable) {
    const std::vector<std::pair<int, int>> kept = {{0, 2}, {3, kEv}};
    const std::vector<OperationCase> cases = {
        {"connect new",
         [](RoutingState& s) { return connect(s, 5, 3); },
         {{2, 0, kEdited}, {5, 3, kAll}, {kEv, 3, kAll}},
         kept,
         {{3}, false}},
        {"connect already connected keeps its mask",
         [](RoutingState& s) { return connect(s, 2, 0); },
         {{2, 0, kEdited}, {kEv, 3, kAll}},
         kept,
         {{}, false}},
        {"connect all",
         [](RoutingState& s) { return connectAll(s); },
         {{2, 0, kEdited},
          {5, 0, kAll},
          {kEv, 0, kAll},
          {2, 3, kAll},
          {5, 3, kAll},
          {kEv, 3, kAll}},
         kept,
         {{0, 3}, false}},
        {"connect input port",
         [](RoutingState& s) { return connectInputPort(s, 5); },
         {{2, 0, kEdited}, {5, 0, kAll}, {5, 3, kAll}, {kEv, 3, kAll}},
         kept,
         {{0, 3}, false}},
        {"connect output port",
         [](RoutingState& s) { return connectOutputPort(s, 0); },
         {{2, 0, kEdited}, {5, 0, kAll}, {kEv, 0, kAll}, {kEv, 3, kAll}},
         kept,
         {{0}, false}},
        {"disconnect removes the data map",
         [](RoutingState& s) { return disconnect(s, 2, 0); },
         {{kEv, 3, kAll}},
         {{3, kEv}},
         {{0}, true}},
        {"disconnect what is not connected",
         [](RoutingState& s) { return disconnect(s, 5, 0); },
         {{2, 0, kEdited}, {kEv, 3, kAll}},
         kept,
         {{}, false}},
        {"disconnect all",
         [](RoutingState& s) { return disconnectAll(s); },
         {},
         {},
         {{0, 3}, true}},
        {"disconnect input port",
         [](RoutingState& s) { return disconnectInputPort(s, kEv); },
         {{2, 0, kEdited}},
         {{0, 2}},
         {{3}, true}},
        {"disconnect output port",
         [](RoutingState& s) { return disconnectOutputPort(s, 0); },
         {{kEv, 3, kAll}},
         {{3, kEv}},
         {{0}, true}},
        {"properties replace mask and map",
         [](RoutingState& s) { return setConnectionProperties(s, 5, 3, 0x10001, "/maps/c.map"); },
         {{2, 0, kEdited}, {5, 3, 0x10001}, {kEv, 3, kAll}},
         {{0, 2}, {3, 5}, {3, kEv}},
         {{3}, true}},
        {"properties without a map remove it",
         [](RoutingState& s) { return setConnectionProperties(s, 2, 0, kAll, std::nullopt); },
         {{2, 0, kAll}, {kEv, 3, kAll}},
         {{3, kEv}},
         {{0}, true}},
        {"an input out of range changes nothing",
         [](RoutingState& s) { return connect(s, 136, 0); },
         {{2, 0, kEdited}, {kEv, 3, kAll}},
         kept,
         {{}, false}},
    };
    for (const OperationCase& c : cases) {
        SCOPED_TRACE(c.name);
        RoutingState state = startingState();
        EXPECT_EQ(c.operation(state), c.change);
        EXPECT_EQ(connections(state), c.connections);
        EXPECT_EQ(dataMapPairs(state), c.dataMaps);
    }
}

TEST(RoutingOperations, ReconnectingDoesNotBringADataMapBack) {
    RoutingState state = startingState();
    disconnect(state, 2, 0);
    connect(state, 2, 0);
    EXPECT_EQ(state.mask(2, 0), kConnectRouteMask);
    EXPECT_FALSE(state.portDataMap.find(0, 2));
}

class RecordingEffects : public RoutingEffects {
public:
    void updatePortMap(int output, const CPortMap& map) override {
        log.push_back("update " + std::to_string(output) + " " +
                      std::to_string(inputConnected(map, 5)));
    }
    void storeAndResendPortDataMaps(const CPortDataMap& maps) override {
        log.push_back("data maps " + std::to_string(maps.entries().size()));
    }
    void copyToSettings(const RoutingState&) override { log.push_back("settings"); }
    void redrawViews() override { log.push_back("redraw"); }
    std::vector<std::string> log;
};

TEST(RoutingOperations, EffectsFollowInOrder) {
    struct Case {
        std::function<RoutingChange(RoutingState&)> operation;
        std::vector<std::string> log;
    };
    const std::vector<Case> cases = {
        {[](RoutingState& s) { return connectInputPort(s, 5); },
         {"update 0 1", "update 3 1", "settings", "redraw"}},
        {[](RoutingState& s) { return disconnect(s, 2, 0); },
         {"update 0 0", "data maps 1", "settings", "redraw"}},
        {[](RoutingState& s) { return connect(s, 2, 0); }, {}},
    };
    for (const Case& c : cases) {
        RoutingState state = startingState();
        RecordingEffects effects;
        applyRoutingChange(state, c.operation(state), effects);
        EXPECT_EQ(effects.log, c.log);
    }
}

} // namespace
} // namespace corvex
