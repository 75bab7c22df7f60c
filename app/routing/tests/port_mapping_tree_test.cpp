#include "routing/port_mapping_tree.h"

#include "devices/port_routing_bits.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvex {
namespace {

// Inputs 2 and 5, outputs 0 and 3; input 2 feeds output 0 with channels 1 and 2 and common
// messages and has a data map there.
RoutingState startingState() {
    RoutingState state;
    state.inputs = {2, 5};
    state.outputs = {0, 3};
    connectInput(state.mapOf(0), 2, 0x3 | CVX_ROUTE_SYSTEM_COMMON);
    state.portDataMap.add(0, 2, "/maps/first.vxm");
    return state;
}

RoutingNode ref(NodeKind kind, int index, int output = -1, int input = -1) {
    RoutingNode made;
    made.kind = kind;
    made.index = index;
    made.output = output;
    made.input = input;
    return made;
}

std::string name(int index) {
    return "port " + std::to_string(index);
}

struct DropCase {
    const char* name;
    RoutingNode dragged;
    RoutingNode target;
    bool allowed;
    uint32_t maskAfter; // of input 2 (or the dragged input) on output 0
    int checkedInput;
};

TEST(PortMappingTree, DropsFollowTheRulesOfTheirKinds) {
    const uint32_t start = 0x3 | CVX_ROUTE_SYSTEM_COMMON;
    const std::vector<DropCase> cases = {
        {"input onto output", ref(NodeKind::InPort, 5), ref(NodeKind::OutPort, 0, 0), true,
         kConnectRouteMask, 5},
        {"events onto output", ref(NodeKind::CvxPort, kEventsInput), ref(NodeKind::OutPort, 0, 0),
         true, kConnectRouteMask, kEventsInput},
        {"connected input keeps its mask", ref(NodeKind::InPort, 2), ref(NodeKind::OutPort, 0, 0),
         true, start, 2},
        {"input onto input refused", ref(NodeKind::InPort, 5), ref(NodeKind::InPort, 2, 0, 2),
         false, 0, 5},
        {"channel 3 adds only its bit", ref(NodeKind::Channel, 3), ref(NodeKind::InPort, 2, 0, 2),
         true, start | 0x4, 2},
        {"channels group onto channels group", ref(NodeKind::Channel, 0),
         ref(NodeKind::Channel, 0, 0, 2), true, start | 0xFFFF, 2},
        {"channel onto a channel refused", ref(NodeKind::Channel, 3),
         ref(NodeKind::Channel, 1, 0, 2), false, start, 2},
        {"channel onto system group refused", ref(NodeKind::Channel, 3),
         ref(NodeKind::SystemItem, 0, 0, 2), false, start, 2},
        {"sysex onto the input", ref(NodeKind::SystemItem, 1), ref(NodeKind::InPort, 2, 0, 2), true,
         start | CVX_ROUTE_SYSEX, 2},
        {"system group onto system group", ref(NodeKind::SystemItem, 0),
         ref(NodeKind::SystemItem, 0, 0, 2), true, start | CVX_ROUTE_SYSEX | CVX_ROUTE_REALTIME, 2},
        {"system onto output refused", ref(NodeKind::SystemItem, 2), ref(NodeKind::OutPort, 0, 0),
         false, start, 2},
        {"data map onto output refused", ref(NodeKind::DataMap, 0), ref(NodeKind::OutPort, 0, 0),
         false, start, 2},
    };
    for (const DropCase& test : cases) {
        SCOPED_TRACE(test.name);
        RoutingState state = startingState();
        EXPECT_EQ(dropAllowed(test.dragged, test.target), test.allowed);
        const RoutingChange change = dropNode(state, test.dragged, test.target, "/maps");
        EXPECT_EQ(state.mask(test.checkedInput, 0), test.maskAfter);
        EXPECT_EQ(change.touchedOutputs.empty(),
                  !test.allowed || test.maskAfter == (test.checkedInput == 2 ? start : 0u));
    }
}

TEST(PortMappingTree, ASecondDataMapDoesNotReplaceTheFirst) {
    RoutingState state = startingState();
    RoutingNode map = ref(NodeKind::DataMap, 0);
    map.mapFile = "second.vxm";
    EXPECT_FALSE(dropNode(state, map, ref(NodeKind::InPort, 2, 0, 2), "/maps").portDataMapsChanged);
    EXPECT_EQ(state.portDataMap.find(0, 2), "/maps/first.vxm");

    connectInput(state.mapOf(3), kEventsInput, kConnectRouteMask);
    EXPECT_TRUE(dropNode(state, map, ref(NodeKind::CvxPort, kEventsInput, 3, kEventsInput), "/maps")
                    .portDataMapsChanged);
    EXPECT_EQ(state.portDataMap.find(3, kEventsInput), "/maps/second.vxm");
}

struct DeleteCase {
    const char* name;
    RoutingNode node;
    bool connectedAfter;
    uint32_t maskAfter;
    bool dataMapAfter;
};

TEST(PortMappingTree, DeletingANodeClearsWhatItStandsFor) {
    const uint32_t start = 0x3 | CVX_ROUTE_SYSTEM_COMMON;
    const std::vector<DeleteCase> cases = {
        {"input", ref(NodeKind::InPort, 2, 0, 2), false, 0, false},
        {"channels group", ref(NodeKind::Channel, 0, 0, 2), true, CVX_ROUTE_SYSTEM_COMMON, true},
        {"one channel", ref(NodeKind::Channel, 2, 0, 2), true, 0x1 | CVX_ROUTE_SYSTEM_COMMON, true},
        {"system group stops common", ref(NodeKind::SystemItem, 0, 0, 2), true, 0x3, true},
        {"common item", ref(NodeKind::SystemItem, 3, 0, 2), true, 0x3, true},
        {"data map", ref(NodeKind::DataMap, 0, 0, 2), true, start, false},
        {"output is left to the editor", ref(NodeKind::OutPort, 0, 0), true, start, true},
    };
    for (const DeleteCase& test : cases) {
        SCOPED_TRACE(test.name);
        RoutingState state = startingState();
        deleteNode(state, test.node);
        EXPECT_EQ(state.connected(2, 0), test.connectedAfter);
        EXPECT_EQ(state.mask(2, 0), test.maskAfter);
        EXPECT_EQ(state.portDataMap.find(0, 2).has_value(), test.dataMapAfter);
    }
}

TEST(PortMappingTree, TreeShowsConnectionsWithTheirDetailsAndDropsEmptyMasks) {
    RoutingState state = startingState();
    connectInput(state.mapOf(3), 5, 0); // connected with nothing passing
    connectInput(state.mapOf(3), kEventsInput, CVX_ROUTE_REALTIME);
    RoutingChange change;
    const std::vector<RoutingNode> tree = portMappingTree(state, name, name, change);

    ASSERT_EQ(tree.size(), 2u);
    EXPECT_EQ(tree[0].text, "port 0");
    ASSERT_EQ(tree[0].children.size(), 1u);
    const RoutingNode& input = tree[0].children[0];
    EXPECT_EQ(input.kind, NodeKind::InPort);
    ASSERT_EQ(input.children.size(), 3u);
    EXPECT_EQ(input.children[0].children.size(), 2u); // channels 1 and 2
    ASSERT_EQ(input.children[1].children.size(), 1u);
    EXPECT_EQ(input.children[1].children[0].text, "Common");
    EXPECT_EQ(input.children[2].text, "first.vxm");

    ASSERT_EQ(tree[1].children.size(), 1u);
    EXPECT_EQ(tree[1].children[0].kind, NodeKind::CvxPort);
    EXPECT_FALSE(state.connected(5, 3));
    EXPECT_EQ(change.touchedOutputs, std::vector<int>{3});

    const std::vector<RoutingNode> palette = paletteTree(state, name, {"a.vxm"});
    ASSERT_EQ(palette.size(), 6u); // channels, system, two inputs, events, one map
    EXPECT_EQ(palette[0].children.size(), 16u);
    EXPECT_EQ(palette[1].children.size(), 3u);
    EXPECT_EQ(palette[4].text, "Corvex Events");
    EXPECT_EQ(palette[5].mapFile, "a.vxm");
    EXPECT_EQ(deleteCommandText(NodeKind::SystemItem), "&Delete System Item");
}

} // namespace
} // namespace corvex
