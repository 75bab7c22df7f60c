#include "routing/connection_properties.h"

#include "devices/port_routing_bits.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvex {
namespace {

const std::vector<std::string> kFolderFiles{"strings.vxm", "Drums.VXM", "notes.txm", "readme",
                                            "bass.vxm"};

RoutingState stateWithMap(const std::string& path) {
    RoutingState state;
    state.inputs = {4};
    state.outputs = {1};
    connectInput(state.mapOf(1), 4, kConnectRouteMask & ~CVX_ROUTE_REALTIME);
    if (!path.empty()) {
        state.portDataMap.add(1, 4, path);
    }
    return state;
}

TEST(ConnectionProperties, OffersTheFolderMapsAndKeepsAMapFromAnywhere) {
    using Names = std::vector<std::string>;
    const Names folderChoices{kNoMapChoice, "bass.vxm", "Drums.VXM", "strings.vxm"};
    const struct {
        const char* current;
        Names extra; // listed after the folder's maps
        int chosen;
    } cases[] = {
        {"", {}, 0},
        {"/maps/drums.vxm", {}, 2}, // by name, in any case
        {"/maps/./bass.vxm", {}, 1},
        {"/elsewhere/drums.vxm", {"/elsewhere/drums.vxm"}, 4}, // outside the folder
        {"/maps/gone.vxm", {"/maps/gone.vxm"}, 4},             // no longer in the folder
    };
    for (const auto& c : cases) {
        const RoutingState state = stateWithMap(c.current);
        const ConnectionProperties properties =
            connectionPropertiesOf(state, 4, 1, "Keys", "Synth", "/maps", kFolderFiles);
        Names expected = folderChoices;
        expected.insert(expected.end(), c.extra.begin(), c.extra.end());
        EXPECT_EQ(properties.mapChoices, expected) << c.current;
        EXPECT_EQ(properties.chosenMap, c.chosen) << c.current;
        EXPECT_EQ(properties.title, "[Keys]---[Synth]");
        EXPECT_EQ(properties.mask, kConnectRouteMask & ~CVX_ROUTE_REALTIME);

        RoutingState confirmed = state;
        const RoutingChange change = applyConnectionProperties(confirmed, properties);
        EXPECT_EQ(confirmed.portDataMap, state.portDataMap)
            << c.current << ": confirming unchanged keeps the map";
        EXPECT_EQ(change.touchedOutputs, std::vector<int>{1});
        EXPECT_TRUE(change.portDataMapsChanged);
    }
}

TEST(ConnectionProperties, OkWritesTheMaskAndTheChosenMap) {
    const struct {
        uint32_t mask;
        int chosen;
        const char* path; // "" for none
    } cases[] = {
        {0x0003, 3, "/maps/strings.vxm"},
        {kConnectRouteMask, 0, ""},
        {0, 1, "/maps/bass.vxm"}, // nothing passes, still connected
    };
    for (const auto& c : cases) {
        RoutingState state = stateWithMap("/elsewhere/old.vxm");
        ConnectionProperties properties =
            connectionPropertiesOf(state, 4, 1, "Keys", "Synth", "/maps", kFolderFiles);
        properties.mask = c.mask;
        properties.chosenMap = c.chosen;
        applyConnectionProperties(state, properties);
        EXPECT_TRUE(state.connected(4, 1));
        EXPECT_EQ(state.mask(4, 1), c.mask);
        EXPECT_EQ(state.portDataMap.find(1, 4).value_or(""), c.path);
    }
}

} // namespace
} // namespace corvex
