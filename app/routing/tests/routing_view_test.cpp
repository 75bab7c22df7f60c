#include "routing/routing_view_content.h"
#include "routing/routing_view_drag.h"
#include "routing/routing_view_geometry.h"
#include "routing/routing_view_menus.h"
#include "routing/routing_view_scale.h"

#include "devices/port_routing_bits.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvex {
namespace {

constexpr uint32_t kNoCommon = kConnectRouteMask & ~CVX_ROUTE_SYSTEM_COMMON;

// Inputs 2 and 5, outputs 0 and 3: 2 -> 0 without common messages and with a data map,
// 5 -> 0 with everything, "Corvex Events" -> 3 with everything and a data map.
RoutingState sampleState() {
    RoutingState state;
    state.inputs = {5, 2};
    state.outputs = {3, 0};
    connectInput(state.mapOf(0), 5, kConnectRouteMask);
    connectInput(state.mapOf(0), 2, kNoCommon);
    connectInput(state.mapOf(3), kEventsInput, kConnectRouteMask);
    state.portDataMap.add(0, 2, "/maps/a.vxm");
    state.portDataMap.add(3, kEventsInput, "/maps/b.vxm");
    return state;
}

std::vector<std::string> names(int count, const std::string& prefix) {
    std::vector<std::string> all;
    for (int i = 0; i < count; ++i) {
        all.push_back(prefix + std::to_string(i));
    }
    return all;
}

RoutingViewContent sampleContent(const RoutingState& state) {
    return routingViewContent(state, names(8, "in "), names(8, "out "));
}

TEST(RoutingViewContent, RowsEndWithTheEventPortAndConnectionsSortByOutputThenInput) {
    const auto content = sampleContent(sampleState());
    const std::vector<RoutingViewRow> inputs{
        {5, "in 5"}, {2, "in 2"}, {kEventsInput, kEventPortLabel}};
    const std::vector<RoutingViewRow> outputs{{3, "out 3"}, {0, "out 0"}};
    const std::vector<RoutingViewConnection> connections{
        {2, 0, 1, 1, HandleImage::FilteredMapped},
        {5, 0, 0, 1, HandleImage::AllPass},
        {kEventsInput, 3, 2, 0, HandleImage::AllPassMapped}};
    EXPECT_EQ(content.inputs, inputs);
    EXPECT_EQ(content.outputs, outputs);
    EXPECT_EQ(content.connections, connections);
}

TEST(RoutingViewContent, HandleImageTellsWhatPassesAndWhetherAMapIsSet) {
    const struct {
        uint32_t mask;
        bool mapped;
        HandleImage image;
    } cases[] = {
        {kConnectRouteMask, false, HandleImage::AllPass},
        {kConnectRouteMask, true, HandleImage::AllPassMapped},
        {kNoCommon, false, HandleImage::Filtered}, // all channels pass, common does not
        {kConnectRouteMask & ~CVX_ROUTE_SYSEX, true, HandleImage::FilteredMapped},
        {kConnectRouteMask & ~1u, false, HandleImage::Filtered},
        {0, false, HandleImage::Filtered},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(handleImageOf(c.mask, c.mapped), c.image) << std::hex << c.mask << c.mapped;
    }
}

TEST(RoutingViewScale, ZoomStaysWithinItsRangeAndLengthsRoundPerProduct) {
    RoutingViewScale stored(96, 300);
    EXPECT_EQ(stored.zoomPercent(), 250) << "a stored 300 is kept as 250";
    EXPECT_FALSE(stored.zoomIn());
    EXPECT_TRUE(stored.resetZoom());
    EXPECT_EQ(stored.zoomPercent(), 100);
    for (int i = 0; i < 3; ++i) {
        stored.zoomOut();
    }
    EXPECT_EQ(stored.zoomPercent(), 75);
    EXPECT_FALSE(stored.zoomOut());
    EXPECT_EQ(RoutingViewScale(96, 10).zoomPercent(), 75);

    const struct {
        double dpi;
        int zoom;
        double length;
        int pixels;
    } cases[] = {{96, 100, 26, 26}, {96, 75, 26, 20},          {96, 75, 39, 29}, {144, 100, 13, 20},
                 {96, 250, 39, 98}, {192, 100, 10.666667, 21}, {0, 100, 32, 32}};
    for (const auto& c : cases) {
        EXPECT_EQ(RoutingViewScale(c.dpi, c.zoom).px(c.length), c.pixels)
            << c.dpi << " dpi " << c.zoom << "% " << c.length;
    }
    EXPECT_EQ(routingViewDpi(120.0, 144.0), 120.0);
    EXPECT_EQ(routingViewDpi(std::nullopt, 144.0), 144.0);
    EXPECT_EQ(routingViewDpi(std::nullopt, std::nullopt), 96.0);
}

constexpr RoutingViewExtent kExtent{3, 2, 100, 80, 600, 150};

TEST(RoutingViewGeometry, AnchorsContentHeightAndScrollRangeAtEachZoom) {
    const struct {
        double dpi;
        int zoom;
        ViewPoint secondInput;
        ViewPoint firstOutput;
        int contentHeight;
        int scrollRange;
    } cases[] = {
        {96, 100, {140, 113}, {472, 55}, 199, 49},
        {96, 75, {130, 85}, {484, 41}, 150, 0},
        {192, 100, {180, 226}, {424, 110}, 398, 248},
        {96, 250, {200, 283}, {400, 138}, 498, 348},
    };
    for (const auto& c : cases) {
        RoutingViewGeometry geometry(RoutingViewScale(c.dpi, c.zoom), kExtent);
        EXPECT_EQ(geometry.inputAnchor(1), c.secondInput) << c.dpi << " " << c.zoom;
        EXPECT_EQ(geometry.outputAnchor(0), c.firstOutput) << c.dpi << " " << c.zoom;
        EXPECT_EQ(geometry.contentHeight(), c.contentHeight) << c.dpi << " " << c.zoom;
        EXPECT_EQ(geometry.scrollRange(), c.scrollRange) << c.dpi << " " << c.zoom;
        geometry.setScroll(10000);
        EXPECT_EQ(geometry.scroll(), c.scrollRange);
        EXPECT_EQ(geometry.inputAnchor(1).y, c.secondInput.y - c.scrollRange);
    }
}

TEST(RoutingViewGeometry, ScrollingKeepsWithinZeroAndTheRange) {
    RoutingViewGeometry geometry(RoutingViewScale(96, 100), {10, 2, 100, 80, 600, 150});
    const int range = geometry.scrollRange(); // 39 + 9*26 + 12 + 320 - 150
    ASSERT_EQ(range, 455);
    const struct {
        ScrollStep step;
        int from;
        int to;
    } steps[] = {{ScrollStep::LineDown, 0, 58},    {ScrollStep::LineUp, 30, 0},
                 {ScrollStep::PageDown, 100, 250}, {ScrollStep::PageDown, 400, range},
                 {ScrollStep::PageUp, 100, 0},     {ScrollStep::End, 0, range},
                 {ScrollStep::Home, range, 0},     {ScrollStep::LineDown, range, range}};
    for (const auto& s : steps) {
        geometry.setScroll(s.from);
        geometry.scrollBy(s.step);
        EXPECT_EQ(geometry.scroll(), s.to) << static_cast<int>(s.step) << " from " << s.from;
    }
    const struct {
        int delta;
        int from;
        int to;
    } wheels[] = {{-120, 0, 58}, {-60, 0, 29}, {120, 100, 42}, {240, 100, 0}, {-1200, 0, range}};
    for (const auto& w : wheels) {
        geometry.setScroll(w.from);
        geometry.scrollByWheel(w.delta);
        EXPECT_EQ(geometry.scroll(), w.to) << w.delta << " from " << w.from;
    }
}

TEST(RoutingViewGeometry, CurveControlPointsFollowTheHorizontalDistance) {
    const struct {
        int zoom;
        ViewPoint to;
        double r;
        double u;
    } cases[] = {
        {100, {300, 20}, 150, 300.0 / 18}, // half the distance, a gentle sag
        {100, {60, 0}, 50, 12},            // short: the minimum reach and sag
        {100, {900, 0}, 450, 35},          // long: the sag is capped
        {200, {60, 0}, 100, 24},
    };
    for (const auto& c : cases) {
        const RoutingViewGeometry geometry(RoutingViewScale(96, c.zoom), kExtent);
        const ViewCurve curve = geometry.curveBetween({0, 0}, c.to);
        EXPECT_EQ(curve.p[0], (ViewPoint{0, 0}));
        EXPECT_EQ(curve.p[3], c.to);
        EXPECT_DOUBLE_EQ(curve.p[1].x, c.r);
        EXPECT_DOUBLE_EQ(curve.p[1].y, c.u);
        EXPECT_DOUBLE_EQ(curve.p[2].x, c.to.x - c.r);
        EXPECT_DOUBLE_EQ(curve.p[2].y, c.to.y + c.u);
        EXPECT_EQ(curve.at(0), curve.p[0]);
        EXPECT_EQ(curve.at(1), curve.p[3]);
    }
    const RoutingViewGeometry geometry(RoutingViewScale(96, 100), kExtent);
    const RoutingViewConnection connection{0, 0, 0, 1};
    EXPECT_EQ(geometry.handleCentre(connection), geometry.curve(0, 1).at(0.45));
    EXPECT_EQ(geometry.penWidth(), 3);
    EXPECT_EQ(RoutingViewGeometry(RoutingViewScale(96, 75), kExtent).penWidth(), 2);
}

// Hits around the anchors, a handle and a curve, with offsets in 1/96 inch so that every
// zoom sees the same picture.
TEST(RoutingViewGeometry, HitTestsPortsThenHandlesThenCurvesAtEachZoom) {
    const RoutingViewConnection connection{0, 0, 0, 1};
    const std::vector<RoutingViewConnection> connections{connection};
    enum Place { InputAnchor, OutputAnchor, Handle, CurvePoint, Nowhere };
    const struct {
        Place place;
        double dx; // in 1/96 inch from the place
        double dy;
        bool withCurves;
        RoutingHit hit;
    } cases[] = {
        {InputAnchor, -16, -16, false, {RoutingHitKind::Input, 1}},
        {InputAnchor, 15, 15, false, {RoutingHitKind::Input, 1}},
        {InputAnchor, 17, 0, false, {}},
        {OutputAnchor, 0, -15, false, {RoutingHitKind::Output, 0}},
        {OutputAnchor, 0, 17, true, {}},
        {Handle, 0, 0, false, {RoutingHitKind::Handle, 0}},
        {Handle, 8, -8, false, {RoutingHitKind::Handle, 0}}, // inside the enlarged square
        {Handle, 10, 0, false, {}},                          // just beside the enlarged square
        {Handle, 0, 14, false, {}},
        {CurvePoint, 0, 3, true, {RoutingHitKind::Curve, 0}},
        {CurvePoint, 0, 3, false, {}},
        {CurvePoint, 0, 12, true, {}},
        {Nowhere, 0, 0, true, {}},
    };
    for (int zoom : {75, 100, 250}) {
        const RoutingViewScale scale(96, zoom);
        const RoutingViewGeometry geometry(scale, kExtent);
        for (const auto& c : cases) {
            ViewPoint base;
            switch (c.place) {
            case InputAnchor:
                base = geometry.inputAnchor(1);
                break;
            case OutputAnchor:
                base = geometry.outputAnchor(0);
                break;
            case Handle:
                base = geometry.handleCentre(connection);
                break;
            case CurvePoint:
                base = geometry.curve(0, 1).at(0.2);
                break;
            case Nowhere:
                base = {300, double(scale.px(3))};
                break;
            }
            const ViewPoint point{base.x + c.dx * scale.s(), base.y + c.dy * scale.s()};
            EXPECT_EQ(geometry.hitTest(point, connections, c.withCurves), c.hit)
                << "zoom " << zoom << " place " << c.place << " +" << c.dx << "," << c.dy;
        }
    }
}

TEST(RoutingViewDrag, ReleasesMapOntoConnectDisconnectPropertiesOrNothing) {
    using Action = RoutingDragOutcome::Action;
    const auto content = sampleContent(sampleState());
    const RoutingHit input0{RoutingHitKind::Input, 0};
    const RoutingHit input2{RoutingHitKind::Input, 2};
    const RoutingHit output0{RoutingHitKind::Output, 0};
    const RoutingHit output1{RoutingHitKind::Output, 1};
    const RoutingHit handle0{RoutingHitKind::Handle, 0};
    const RoutingHit handle2{RoutingHitKind::Handle, 2};
    const RoutingHit empty;
    const struct {
        RoutingHit start;
        RoutingHit drop;
        bool inside;
        RoutingDragOutcome outcome;
    } cases[] = {
        {input0, output0, true, {Action::Connect, 5, 3}},
        {output1, input2, true, {Action::Connect, kEventsInput, 0}},
        {input0, input2, true, {}},
        {input0, empty, true, {}},
        {output0, output1, true, {}},
        {input0, output0, false, {}}, // released outside the window
        {handle0, handle0, true, {Action::Properties, 2, 0}},
        {handle0, handle2, true, {Action::Properties, kEventsInput, 3}},
        {handle0, empty, true, {Action::Disconnect, 2, 0}},
        {handle2, input0, true, {Action::Disconnect, kEventsInput, 3}},
        {handle2, empty, false, {}},
        {{RoutingHitKind::Handle, 7}, empty, true, {}}, // the connection is gone
        {{RoutingHitKind::Input, 9}, output0, true, {}},
    };
    for (const auto& c : cases) {
        RoutingViewDrag drag;
        ASSERT_TRUE(drag.begin(c.start));
        EXPECT_EQ(drag.drawsCurve(), c.start.kind != RoutingHitKind::Handle);
        EXPECT_EQ(drag.finish(c.drop, c.inside, content), c.outcome)
            << static_cast<int>(c.start.kind) << c.start.index << " onto "
            << static_cast<int>(c.drop.kind) << c.drop.index << " inside " << c.inside;
        EXPECT_FALSE(drag.active()) << "the drag ends in every case";
    }
    RoutingViewDrag drag;
    EXPECT_FALSE(drag.begin(empty));
    EXPECT_FALSE(drag.begin({RoutingHitKind::Curve, 0}));
    ASSERT_TRUE(drag.begin(input0));
    drag.cancel();
    EXPECT_EQ(drag.finish(output0, true, content), RoutingDragOutcome{});
}

TEST(RoutingViewDrag, OutcomesGoThroughTheRoutingOperations) {
    using Action = RoutingDragOutcome::Action;
    RoutingState state = sampleState();
    EXPECT_EQ(applyDragOutcome(state, {Action::Connect, 2, 0}).touchedOutputs.size(), 0u)
        << "connecting a connected pair keeps its mask";
    EXPECT_EQ(state.mask(2, 0), kNoCommon);
    EXPECT_EQ(applyDragOutcome(state, {Action::Connect, 2, 3}).touchedOutputs, std::vector<int>{3});
    EXPECT_EQ(state.mask(2, 3), kConnectRouteMask);
    const auto disconnected = applyDragOutcome(state, {Action::Disconnect, 2, 0});
    EXPECT_FALSE(state.connected(2, 0));
    EXPECT_FALSE(state.portDataMap.find(0, 2).has_value());
    EXPECT_TRUE(disconnected.portDataMapsChanged);
    const RoutingState before = state;
    EXPECT_TRUE(applyDragOutcome(state, {Action::Properties, 5, 0}).touchedOutputs.empty());
    EXPECT_EQ(state.mask(5, 0), before.mask(5, 0));
}

std::vector<std::string> textsOf(const std::vector<RoutingMenuEntry>& entries) {
    std::vector<std::string> texts;
    for (const auto& entry : entries) {
        texts.push_back(entry.text);
    }
    return texts;
}

TEST(RoutingViewMenus, EachPlaceHasItsMenuAndItsCommandsReachTheRightPorts) {
    const auto content = sampleContent(sampleState());
    using Texts = std::vector<std::string>;
    EXPECT_EQ(textsOf(routingContextMenu({}, content)), (Texts{"&Connect All", "&Disconnect All"}));
    EXPECT_EQ(textsOf(routingContextMenu({RoutingHitKind::Input, 2}, content)),
              (Texts{"&Connect All", "Connect Input &Port", "Disconnect &All",
                     "&Disconnect Input Port"}));
    EXPECT_EQ(textsOf(routingContextMenu({RoutingHitKind::Output, 1}, content)),
              (Texts{"&Connect All", "Connect Output &Port", "Disconnect &All",
                     "&Disconnect Output Port"}));
    const Texts connectionMenu{"&Connect All", "Disconnect &All",
                               "Disconnect: Corvex Event Port >>> out 3", "Properties..."};
    EXPECT_EQ(textsOf(routingContextMenu({RoutingHitKind::Curve, 2}, content)), connectionMenu);
    EXPECT_EQ(textsOf(routingContextMenu({RoutingHitKind::Handle, 2}, content)), connectionMenu);

    using Command = RoutingMenuCommand;
    const struct {
        Command command;
        RoutingHit hit;
        std::vector<std::pair<int, int>> connectedAfter; // (input, output)
        std::vector<std::pair<int, int>> disconnectedAfter;
    } cases[] = {
        {Command::ConnectInputPort, {RoutingHitKind::Input, 2}, {{kEventsInput, 0}}, {}},
        {Command::DisconnectInputPort, {RoutingHitKind::Input, 1}, {{5, 0}}, {{2, 0}}},
        {Command::ConnectOutputPort, {RoutingHitKind::Output, 0}, {{5, 3}, {2, 3}}, {}},
        {Command::DisconnectOutputPort,
         {RoutingHitKind::Output, 1},
         {{kEventsInput, 3}},
         {{5, 0}, {2, 0}}},
        {Command::Disconnect, {RoutingHitKind::Curve, 1}, {{2, 0}}, {{5, 0}}},
        {Command::ConnectAll, {}, {{5, 3}, {2, 3}, {kEventsInput, 0}}, {}},
        {Command::DisconnectAll,
         {RoutingHitKind::Handle, 0},
         {},
         {{5, 0}, {2, 0}, {kEventsInput, 3}}},
        {Command::ConnectInputPort, {RoutingHitKind::Output, 0}, {}, {{5, 3}}}, // wrong place
        {Command::Disconnect, {RoutingHitKind::Curve, 5}, {{5, 0}, {2, 0}}, {}},
    };
    for (const auto& c : cases) {
        RoutingState state = sampleState();
        runRoutingMenuCommand(state, c.command, c.hit, content);
        for (const auto& [input, output] : c.connectedAfter) {
            EXPECT_TRUE(state.connected(input, output))
                << static_cast<int>(c.command) << ": " << input << "->" << output;
        }
        for (const auto& [input, output] : c.disconnectedAfter) {
            EXPECT_FALSE(state.connected(input, output))
                << static_cast<int>(c.command) << ": " << input << "->" << output;
        }
    }

    RoutingState noOutputs;
    noOutputs.inputs = {1};
    const auto bare = routingViewContent(noOutputs, {}, {});
    EXPECT_EQ(bare.inputs.size(), 2u);
    EXPECT_TRUE(
        runRoutingMenuCommand(noOutputs, Command::ConnectAll, {}, bare).touchedOutputs.empty());
}

} // namespace
} // namespace corvex
