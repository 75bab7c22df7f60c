#include "routing/ui/routing_view.h"

#include "devices/port_routing_bits.h"
#include "routing/ui/connection_properties_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace corvex {
namespace {

// The program side of the view: a routing state that edits replace.
class FakeHost : public RoutingViewHost {
public:
    FakeHost() {
        state.inputs = {1};
        state.outputs = {2, 3};
        connectInput(state.mapOf(3), 1, kConnectRouteMask & ~CVX_ROUTE_SYSEX);
    }
    RoutingState routing() const override { return state; }
    std::vector<std::string> portNames(bool inputs) const override {
        return inputs ? std::vector<std::string>{"", "Keys"}
                      : std::vector<std::string>{"", "", "Synth", "Drums"};
    }
    void applyRouting(const RoutingState& edited, const RoutingChange& change) override {
        state = edited;
        changes.push_back(change);
    }
    void zoomChanged(int percent) override { zooms.push_back(percent); }
    std::string mapFolder() const override { return folder; }

    RoutingState state;
    std::vector<RoutingChange> changes;
    std::vector<int> zooms;
    std::string folder;
};

QPoint pointOf(ViewPoint p) {
    return {int(p.x), int(p.y)};
}

enum class Place { Input0, EventInput, Output0, Output1, Handle0, Empty, Outside };

QPoint where(const RoutingView& view, Place place) {
    const RoutingViewGeometry& g = view.layoutGeometry();
    switch (place) {
    case Place::Input0:
        return pointOf(g.inputAnchor(0));
    case Place::EventInput:
        return pointOf(g.inputAnchor(1));
    case Place::Output0:
        return pointOf(g.outputAnchor(0));
    case Place::Output1:
        return pointOf(g.outputAnchor(1));
    case Place::Handle0:
        return pointOf(g.handleCentre(view.content().connections.at(0)));
    case Place::Empty:
        return {view.viewport()->width() / 2, 5};
    case Place::Outside:
        return {-40, view.viewport()->height() + 40};
    }
    return {};
}

TEST(RoutingView, DragsConnectAndDisconnectThroughTheRoutingModel) {
    using Pair = std::pair<int, int>; // (input, output)
    const struct {
        const char* name;
        Place from;
        Place to;
        std::function<void(RoutingView&)> midway; // during the drag, before the release
        std::vector<Pair> connected;
        std::vector<Pair> disconnected;
        std::vector<int> touched; // empty: the host was not called
    } cases[] = {
        {"input onto output", Place::Input0, Place::Output0, {}, {{1, 2}, {1, 3}}, {}, {2}},
        {"output onto the event input",
         Place::Output1,
         Place::EventInput,
         {},
         {{kEventsInput, 3}},
         {},
         {3}},
        {"handle dragged away", Place::Handle0, Place::Empty, {}, {}, {{1, 3}}, {3}},
        {"input onto empty space", Place::Input0, Place::Empty, {}, {{1, 3}}, {{1, 2}}, {}},
        {"input onto an input", Place::Input0, Place::EventInput, {}, {}, {{kEventsInput, 2}}, {}},
        {"released outside the window", Place::Input0, Place::Output0, {}, {}, {{1, 2}}, {}},
        {"Esc mid-drag",
         Place::Input0,
         Place::Output0,
         [](RoutingView& v) { QTest::keyClick(&v, Qt::Key_Escape); },
         {},
         {{1, 2}},
         {}},
        {"the ports change mid-drag",
         Place::Handle0,
         Place::Empty,
         [](RoutingView& v) { v.refresh(); },
         {{1, 3}},
         {},
         {}},
    };
    for (const auto& c : cases) {
        FakeHost host;
        RoutingView view(host, RoutingViewLook{});
        view.resize(640, 420);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        QWidget* surface = view.viewport();
        const QPoint to = std::string(c.name) == "released outside the window"
                              ? where(view, Place::Outside)
                              : where(view, c.to);
        QTest::mousePress(surface, Qt::LeftButton, {}, where(view, c.from));
        QTest::mouseMove(surface, (where(view, c.from) + to) / 2);
        EXPECT_TRUE(view.dragging()) << c.name;
        if (c.midway) {
            c.midway(view);
        }
        QTest::mouseRelease(surface, Qt::LeftButton, {}, to);
        EXPECT_FALSE(view.dragging()) << c.name;
        for (const auto& [input, output] : c.connected) {
            EXPECT_TRUE(host.state.connected(input, output)) << c.name << " " << input << output;
        }
        for (const auto& [input, output] : c.disconnected) {
            EXPECT_FALSE(host.state.connected(input, output)) << c.name << " " << input << output;
        }
        if (c.touched.empty()) {
            EXPECT_TRUE(host.changes.empty()) << c.name;
        } else {
            ASSERT_EQ(host.changes.size(), 1u) << c.name;
            EXPECT_EQ(host.changes[0].touchedOutputs, c.touched) << c.name;
        }
        EXPECT_EQ(view.content().connections.size(),
                  routingViewContent(host.state, {}, {}).connections.size())
            << c.name << ": the view shows the applied routing";
    }
}

// Clicking a handle opens the connection's properties: OK writes the boxes and the chosen
// map through the routing model, Cancel changes nothing.
TEST(RoutingView, HandleClickEditsTheConnectionProperties) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    for (const char* name : {"lead.vxm", "notes.txm"}) {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    for (bool confirm : {false, true}) {
        FakeHost host;
        host.folder = folder.path().toStdString();
        RoutingView view(host, RoutingViewLook{});
        view.resize(640, 420);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog =
                qobject_cast<ConnectionPropertiesDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->mapList()->count(), 2) << "<None> and the binary map only";
            EXPECT_FALSE(dialog->systemBox(CVX_ROUTE_SYSEX)->isChecked());
            EXPECT_TRUE(dialog->channelBox(0)->isChecked());
            dialog->channelBox(0)->setChecked(false);
            dialog->systemBox(CVX_ROUTE_SYSEX)->setChecked(true);
            dialog->mapList()->setCurrentText("lead.vxm");
            confirm ? dialog->accept() : dialog->reject();
            seen = true;
        });
        const QPoint handle =
            pointOf(view.layoutGeometry().handleCentre(view.content().connections.at(0)));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, handle);
        ASSERT_TRUE(seen);
        const uint32_t before = kConnectRouteMask & ~CVX_ROUTE_SYSEX;
        EXPECT_EQ(host.state.mask(1, 3), confirm ? (kConnectRouteMask & ~1u) : before);
        EXPECT_EQ(host.state.portDataMap.find(3, 1).value_or(""),
                  confirm ? folder.filePath("lead.vxm").toStdString() : "");
        EXPECT_EQ(host.changes.size(), confirm ? 1u : 0u);
        if (confirm) {
            EXPECT_EQ(view.content().connections.at(0).image, HandleImage::FilteredMapped);
        }
    }
}

TEST(RoutingView, KeysZoomWithinTheRangeButNotDuringADrag) {
    FakeHost host;
    RoutingViewLook look;
    look.zoomPercent = 240;
    RoutingView view(host, look);
    view.resize(640, 420);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    QTest::keyClick(&view, Qt::Key_Up, Qt::ControlModifier);
    QTest::keyClick(&view, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(view.zoomPercent(), 250);
    EXPECT_EQ(host.zooms, std::vector<int>{250});
    QTest::keyClick(&view, Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(view.zoomPercent(), 100);
    const QPoint input = pointOf(view.layoutGeometry().inputAnchor(0));
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, input);
    QTest::keyClick(&view, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(view.zoomPercent(), 100) << "no zoom during a drag";
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, input);
    QTest::keyClick(&view, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(view.zoomPercent(), 90);
}

} // namespace
} // namespace corvex
