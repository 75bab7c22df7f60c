#include "routing/ui/midi_devices_dialog.h"

#include "devices/port_routing_bits.h"
#include "routing/device_presets.h"
#include "support/qt_test_environment.h"

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

namespace corvex {
namespace {

[[maybe_unused]] const auto* const qt = testing::addQtTestEnvironment();

// Inputs "Keys", "Pads", "Keys #2"; outputs "Synth", "Drums". Selected: input 0 and output 0,
// connected with channels 1 and 2.
class MidiDevicesDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        std::ofstream(folder.filePath("maps/strings.vxm").toStdString());
        setup.inputNames = {"Keys", "Pads", "Keys #2"};
        setup.outputNames = {"Synth", "Drums"};
        setup.routing.inputs = {0};
        setup.routing.outputs = {0};
        connectInput(setup.routing.mapOf(0), 0, 0x3);
        setup.mapFolder = folder.filePath("maps").toStdString();
    }

    void open(bool autoAttach) {
        setup.autoAttach = autoAttach;
        dialog = std::make_unique<MidiDevicesDialog>(setup, store);
        dialog->setOverwriteQuestion([this](const QString& question) {
            questions.push_back(question);
            return true;
        });
        dialog->show();
    }

    // The list row of a device index.
    QListWidgetItem* listed(QListWidget* list, int index) {
        for (int row = 0; row < list->count(); ++row) {
            if (list->item(row)->data(Qt::UserRole).toInt() == index) {
                return list->item(row);
            }
        }
        return nullptr;
    }

    // An item by its texts from the top ("Synth", "Keys", "Channels").
    static QTreeWidgetItem* find(QTreeWidget* tree, const QStringList& path) {
        QTreeWidgetItem* item = nullptr;
        for (const QString& step : path) {
            const int count = item ? item->childCount() : tree->topLevelItemCount();
            QTreeWidgetItem* next = nullptr;
            for (int i = 0; i < count && next == nullptr; ++i) {
                QTreeWidgetItem* child = item ? item->child(i) : tree->topLevelItem(i);
                next = child->text(0) == step ? child : nullptr;
            }
            if (next == nullptr) {
                return nullptr;
            }
            item = next;
        }
        return item;
    }

    RoutingState working() {
        dialog->accept();
        return dialog->setup().routing;
    }

    QTemporaryDir folder;
    bool madeMaps = QDir().mkpath(folder.filePath("maps"));
    SettingsStore store{folder.filePath("settings").toStdString()};
    MidiDevicesSetup setup;
    std::unique_ptr<MidiDevicesDialog> dialog;
    QStringList questions;
};

TEST_F(MidiDevicesDialogTest, ListsShowEveryDeviceWithTheSelectedOnesFirst) {
    setup.routing.inputs = {2};
    open(true);
    EXPECT_EQ(dialog->inputList()->item(0)->text(), " 3)  Keys #2");
    EXPECT_TRUE(dialog->inputList()->item(0)->isSelected());
    EXPECT_EQ(dialog->inputList()->item(1)->text(), " 1)  Keys");
    EXPECT_EQ(dialog->outputList()->count(), 2);
    EXPECT_NE(find(dialog->palette(), {"Keys #2"}), nullptr);
    EXPECT_NE(find(dialog->palette(), {"strings.vxm"}), nullptr);
    EXPECT_NE(find(dialog->palette(), {"Corvex Events"}), nullptr);
}

TEST_F(MidiDevicesDialogTest, SelectingPortsAttachesOrDetachesByTheOption) {
    for (bool autoAttach : {true, false}) {
        SCOPED_TRACE(autoAttach);
        // Input 1 carries a stale mask: with attaching off it must not come back.
        setup.routing.outputMaps[0].inputMasks[1] = 0x55;
        open(autoAttach);
        QListWidget* inputs = dialog->inputList();
        // A range: both further inputs at once.
        listed(inputs, 1)->setSelected(true);
        listed(inputs, 2)->setSelected(true);
        listed(dialog->outputList(), 1)->setSelected(true);
        EXPECT_EQ(find(dialog->mappingTree(), {"Synth", "Pads"}) != nullptr, autoAttach);
        EXPECT_EQ(find(dialog->mappingTree(), {"Drums", "Keys #2"}) != nullptr, autoAttach);
        EXPECT_NE(find(dialog->mappingTree(), {"Drums", "Corvex Events"}), nullptr);
        EXPECT_NE(find(dialog->palette(), {"Pads"}), nullptr);
        const RoutingState state = working();
        EXPECT_EQ(state.mask(1, 0), autoAttach ? kConnectRouteMask : 0u);
        EXPECT_EQ(state.outputMaps.at(0).inputMasks[1], autoAttach ? kConnectRouteMask : 0u);
        EXPECT_EQ(state.mask(0, 0), 0x3u); // the connection made before keeps its mask
        EXPECT_EQ(state.mask(kEventsInput, 1), kConnectRouteMask);
    }
}

struct DropCase {
    const char* name;
    QStringList dragged;
    QStringList target;
    QStringList shownAfter; // empty: refused
};

TEST_F(MidiDevicesDialogTest, DragsOfEachKindOntoEachTarget) {
    setup.routing.inputs = {0, 1};
    const std::vector<DropCase> cases = {
        {"input onto output", {"Pads"}, {"Synth"}, {"Synth", "Pads", "System", "Common"}},
        {"events onto output", {"Corvex Events"}, {"Synth"}, {"Synth", "Corvex Events"}},
        {"input onto input", {"Pads"}, {"Synth", "Keys"}, {}},
        {"channel onto input",
         {"Channels", "3"},
         {"Synth", "Keys"},
         {"Synth", "Keys", "Channels", "3"}},
        {"channels onto channels",
         {"Channels"},
         {"Synth", "Keys", "Channels"},
         {"Synth", "Keys", "Channels", "16"}},
        {"channel onto channel", {"Channels", "3"}, {"Synth", "Keys", "Channels", "1"}, {}},
        {"system item onto input",
         {"System", "Common"},
         {"Synth", "Keys"},
         {"Synth", "Keys", "System", "Common"}},
        {"system onto channels", {"System"}, {"Synth", "Keys", "Channels"}, {}},
        {"data map onto input",
         {"strings.vxm"},
         {"Synth", "Keys"},
         {"Synth", "Keys", "strings.vxm"}},
        {"data map onto output", {"strings.vxm"}, {"Synth"}, {}},
    };
    for (const DropCase& test : cases) {
        SCOPED_TRACE(test.name);
        open(true);
        QTreeWidgetItem* dragged = find(dialog->palette(), test.dragged);
        QTreeWidgetItem* target = find(dialog->mappingTree(), test.target);
        ASSERT_NE(dragged, nullptr);
        ASSERT_NE(target, nullptr);
        EXPECT_EQ(dialog->dropItem(dragged, target), !test.shownAfter.isEmpty());
        QCoreApplication::processEvents(); // the trees are rebuilt after a drop
        if (!test.shownAfter.isEmpty()) {
            EXPECT_NE(find(dialog->mappingTree(), test.shownAfter), nullptr);
        }
    }

    // Channel 3 onto a connection passing 1 and 2, then two data maps: the first stays.
    std::ofstream(folder.filePath("maps/brass.vxm").toStdString());
    open(true);
    dialog->dropItem(find(dialog->palette(), {"Channels", "3"}),
                     find(dialog->mappingTree(), {"Synth", "Keys"}));
    QCoreApplication::processEvents();
    dialog->dropItem(find(dialog->palette(), {"strings.vxm"}),
                     find(dialog->mappingTree(), {"Synth", "Keys"}));
    QCoreApplication::processEvents();
    dialog->dropItem(find(dialog->palette(), {"brass.vxm"}),
                     find(dialog->mappingTree(), {"Synth", "Keys"}));
    QCoreApplication::processEvents();
    EXPECT_EQ(find(dialog->mappingTree(), {"Synth", "Keys", "brass.vxm"}), nullptr);
    const RoutingState state = working();
    EXPECT_EQ(state.mask(0, 0), 0x7u);
    EXPECT_EQ(state.portDataMap.find(0, 0), setup.mapFolder + "/strings.vxm");
}

TEST_F(MidiDevicesDialogTest, DeletingNodesByKeyAndMenuText) {
    connectInput(setup.routing.mapOf(0), kEventsInput, kConnectRouteMask);
    setup.routing.outputs = {0, 1};
    open(true);
    QTreeWidget* tree = dialog->mappingTree();
    tree->setFocus();
    tree->setCurrentItem(find(tree, {"Synth", "Keys", "Channels", "2"}));
    QTest::keyClick(tree, Qt::Key_Delete);
    EXPECT_EQ(find(tree, {"Synth", "Keys", "Channels", "2"}), nullptr);
    tree->setCurrentItem(find(tree, {"Synth", "Corvex Events", "System"}));
    QTest::keyClick(tree, Qt::Key_Delete);
    EXPECT_EQ(find(tree, {"Synth", "Corvex Events", "System"}), nullptr);
    tree->setCurrentItem(find(tree, {"Drums"}));
    dialog->deleteSelectedNode();
    EXPECT_EQ(find(tree, {"Drums"}), nullptr);
    EXPECT_FALSE(listed(dialog->outputList(), 1)->isSelected());

    const RoutingState state = working();
    EXPECT_EQ(state.mask(0, 0), 0x1u);
    EXPECT_EQ(state.mask(kEventsInput, 0), 0xFFFFu); // common stopped with the rest
    EXPECT_EQ(state.outputs, std::vector<int>{0});
}

TEST_F(MidiDevicesDialogTest, PresetsSaveOverwriteLoadAndDelete) {
    open(true);
    dialog->presets()->setEditText("Studio");
    dialog->savePreset();
    EXPECT_TRUE(questions.isEmpty());
    // Change everything, then load it back.
    listed(dialog->inputList(), 2)->setSelected(true);
    listed(dialog->outputList(), 0)->setSelected(false);
    listed(dialog->outputList(), 1)->setSelected(true);
    dialog->loadPreset("studio");
    EXPECT_TRUE(listed(dialog->outputList(), 0)->isSelected());
    EXPECT_FALSE(listed(dialog->outputList(), 1)->isSelected());
    EXPECT_FALSE(listed(dialog->inputList(), 2)->isSelected());
    EXPECT_NE(find(dialog->mappingTree(), {"Synth", "Keys", "Channels", "2"}), nullptr);
    EXPECT_EQ(find(dialog->mappingTree(), {"Synth", "Keys", "Channels", "3"}), nullptr);

    dialog->presets()->setEditText("STUDIO");
    dialog->savePreset();
    EXPECT_EQ(questions, QStringList{"Overwrite Preset: 'Studio'?"});
    EXPECT_EQ(dialog->presets()->count(), 1);
    EXPECT_EQ(lastNamedPreset(store.read()), "STUDIO");

    // Reopened on the same selection, the last named preset is shown.
    dialog = std::make_unique<MidiDevicesDialog>(setup, store);
    EXPECT_EQ(dialog->presets()->currentText(), "STUDIO");
    dialog->deletePreset();
    EXPECT_EQ(dialog->presets()->count(), 0);
    EXPECT_TRUE(devicePresetNames(store.read()).empty());
    EXPECT_EQ(lastNamedPreset(store.read()), "");
}

TEST_F(MidiDevicesDialogTest, CancelLeavesEverythingAsItWas) {
    open(true);
    listed(dialog->inputList(), 1)->setSelected(true);
    listed(dialog->outputList(), 1)->setSelected(true);
    dialog->reject();
    EXPECT_EQ(dialog->setup().routing.inputs, std::vector<int>{0});
    EXPECT_EQ(dialog->setup().routing.outputs, std::vector<int>{0});
    EXPECT_EQ(dialog->setup().routing.mask(0, 0), 0x3u);
    EXPECT_FALSE(dialog->setup().routing.connected(1, 0));
}

} // namespace
} // namespace corvex
