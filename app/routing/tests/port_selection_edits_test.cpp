#include "routing/port_selection_edits.h"

#include "devices/port_routing_bits.h"

#include <gtest/gtest.h>

namespace corvex {
namespace {

TEST(PortSelectionEdits, DifferenceOfManyItemsAtOnce) {
    EXPECT_EQ(selectionDifference({1, 2, 3}, {0, 1, 2, 3, 4}), (SelectionDifference{{0, 4}, {}}));
    EXPECT_EQ(selectionDifference({0, 1, 2, 3}, {2}), (SelectionDifference{{}, {0, 1, 3}}));
    EXPECT_EQ(selectionDifference({5, 6}, {6, 7, 8}), (SelectionDifference{{7, 8}, {5}}));
    EXPECT_EQ(selectionDifference({}, {}), SelectionDifference{});
}

// Outputs 0 and 1 are shown; input 4 holds a stale mask in output 1 from an earlier session.
RoutingState twoOutputs() {
    RoutingState state;
    state.outputs = {0, 1};
    state.mapOf(0);
    state.mapOf(1).inputMasks[4] = 0x12;
    state.portDataMap.add(0, 4, "/maps/kept.map");
    return state;
}

TEST(PortSelectionEdits, SelectingInputsWithAndWithoutAttaching) {
    for (bool autoAttach : {true, false}) {
        SCOPED_TRACE(autoAttach);
        RoutingState state = twoOutputs();
        selectInputs(state, {3, 4}, autoAttach);
        EXPECT_EQ(state.inputs, (std::vector<int>{3, 4}));
        for (int output : {0, 1}) {
            for (int input : {3, 4}) {
                EXPECT_EQ(state.connected(input, output), autoAttach);
                EXPECT_EQ(state.outputMaps[output].inputMasks[input],
                          autoAttach ? kConnectRouteMask : 0u);
            }
        }
        // Deselecting leaves every output and drops the data map of the connection.
        selectInputs(state, {3}, autoAttach);
        EXPECT_FALSE(state.connected(4, 0));
        EXPECT_EQ(state.outputMaps[1].inputMasks[4], 0u);
        EXPECT_FALSE(state.portDataMap.find(0, 4));
    }
}

TEST(PortSelectionEdits, SelectingOutputs) {
    struct Case {
        bool autoAttach;
        SelectedBy by;
        bool inputConnected;
        bool eventsConnected;
    };
    const Case cases[] = {
        {true, SelectedBy::User, true, true},
        {false, SelectedBy::User, false, true},
        {true, SelectedBy::Program, false, false},
        {false, SelectedBy::Program, false, false},
    };
    for (const Case& c : cases) {
        RoutingState state;
        state.inputs = {2};
        state.outputs = {0};
        selectOutputs(state, {0, 5}, c.autoAttach, c.by);
        EXPECT_EQ(state.outputs, (std::vector<int>{0, 5}));
        EXPECT_EQ(state.connected(2, 5), c.inputConnected);
        EXPECT_EQ(state.connected(kEventsInput, 5), c.eventsConnected);
        EXPECT_FALSE(state.connected(2, 0)) << "an output already selected is left alone";
    }
}

TEST(PortSelectionEdits, DeselectedOutputKeepsItsCopy) {
    RoutingState state;
    state.inputs = {2};
    state.outputs = {0};
    connectInput(state.mapOf(0), 2, 0x3);
    selectOutputs(state, {}, true, SelectedBy::User);
    selectOutputs(state, {0}, false, SelectedBy::Program);
    EXPECT_EQ(state.mask(2, 0), 0x3u);
}

} // namespace
} // namespace corvex
