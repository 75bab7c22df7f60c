// The filter dialog and the map editor offscreen on a real engine client: options toggled in
// the dialog change what the main monitor shows and what the loopback output passes; a row
// added in the editor rewrites a message on its way out; maps saved and loaded from the
// editor in both formats; Cancel changes nothing.
#include "client_api_fixture.h"

#include "mapping/ui/define_mapping_dialog.h"
#include "mapping/ui/filter_dialog.h"
#include "mapping/ui/translation_map_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace corvex {
namespace {

using cvx::test::Bytes;
using cvx::test::routeFrom;

class ApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "mapping_dialogs_test";
        static char* argv[] = {name, nullptr};
        application_ = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { application_.reset(); }

private:
    std::unique_ptr<QApplication> application_;
};

[[maybe_unused]] const auto* const environment =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

constexpr uint16_t kInput = 0;
constexpr uint16_t kOutput = 1;
const Bytes kNoteOn = {0x90, 60, 100};

class MappingDialogsTest : public cvx::test::ClientApiTest {
protected:
    void SetUp() override {
        ClientApiTest::SetUp();
        openInput(kInput);
        openOutput(kOutput, routeFrom({kInput}), 4);
        readAll(MON_MAIN);
    }

    // Feeds the note and returns what the output sent and whether the main monitor showed it.
    std::pair<Bytes, bool> passNote() {
        feed(kInput, kNoteOn);
        cvxClockAdvance(20);
        const Bytes out = take(kOutput);
        bool shown = false;
        for (const EVENT& e : readAll(MON_MAIN)) {
            shown = shown || (e.message & 0xFFFFFF) == 0x643C90u;
        }
        return {out, shown};
    }

    void click(QWidget& dialog, const char* name) {
        auto* box = dialog.findChild<QAbstractButton*>(name);
        ASSERT_NE(box, nullptr) << name;
        QTest::mouseClick(box, Qt::LeftButton);
    }

    void press(QDialog& dialog, QDialogButtonBox::StandardButton which) {
        dialog.findChild<QDialogButtonBox*>()->button(which)->click();
    }
};

TEST_F(MappingDialogsTest, FilterOptionsChangeWhatIsShownAndPassed) {
    CFilter current{};
    int applied = 0;
    FilterDialog dialog(
        current,
        [&](const CFilter& edited) {
            current = edited;
            ++applied;
            SendFilter(client, &current);
        },
        nullptr);
    dialog.show();
    EXPECT_EQ(passNote(), std::make_pair(kNoteOn, true));

    click(dialog, "Note On"); // display only
    press(dialog, QDialogButtonBox::Apply);
    EXPECT_EQ(current.filterFlags, CVX_FILTER_NOTE_ON);
    EXPECT_EQ(passNote(), std::make_pair(kNoteOn, false));

    click(dialog, "FilterData"); // data as well
    press(dialog, QDialogButtonBox::Ok);
    EXPECT_EQ(current.filterFlags, CVX_FILTER_NOTE_ON | CVX_FILTER_DATA);
    EXPECT_EQ(passNote(), std::make_pair(Bytes{}, false));
    EXPECT_EQ(applied, 2);

    // Cancel hands nothing on, whatever was clicked.
    FilterDialog cancelled(
        current, [&](const CFilter&) { ++applied; }, nullptr);
    cancelled.show();
    click(cancelled, "Note On");
    press(cancelled, QDialogButtonBox::Cancel);
    EXPECT_EQ(applied, 2);
    // A click on an empty group's box opens its list instead of checking it (answered by
    // closing the list).
    QTimer::singleShot(0, [] {
        if (auto* list = QApplication::activeModalWidget()) {
            static_cast<QDialog*>(list)->reject();
        }
    });
    click(cancelled, "Control Change");
    EXPECT_EQ(cancelled.groupBox(FilterGroup::Controllers)->checkState(), Qt::Unchecked);
}

TEST_F(MappingDialogsTest, RowAddedInTheEditorRewritesTheMessage) {
    DataMap running;
    int accepted = 0;
    TranslationMapDialog dialog(
        running,
        [&](const DataMap& map) {
            running = map;
            ++accepted;
            EXPECT_EQ(SendMap(client, running.record()), 1);
            return true;
        },
        nullptr);
    dialog.show();

    // Note On on any channel becomes Note On on channel 10, note 36.
    DefineMappingDialog define(newMapRow(), &dialog);
    auto* inType = define.findChild<QComboBox*>("inType");
    inType->setCurrentIndex(inType->findData(MAP_NOTE_ON));
    auto* outType = define.findChild<QComboBox*>("outType");
    outType->setCurrentIndex(outType->findData(MAP_NOTE_ON));
    define.findChild<QComboBox*>("outChannel")->setCurrentIndex(10);
    define.findChild<QSpinBox*>("out0")->setValue(36);
    define.findChild<QSpinBox*>("out1")->setValue(36);
    dialog.editor().insert(define.row());
    dialog.refresh();
    EXPECT_EQ(dialog.findChild<QListWidget*>("mapRows")->count(), 1);
    dialog.findChild<QCheckBox*>("mapOn")->setChecked(true);
    press(dialog, QDialogButtonBox::Ok);

    ASSERT_EQ(accepted, 1);
    EXPECT_EQ(running.isOn, 1);
    EXPECT_EQ(passNote().first, (Bytes{0x99, 36, 100}));
}

TEST_F(MappingDialogsTest, SaveLoadThroughBothFormatsAndCancel) {
    MapEditorRow row = newMapRow();
    row.item.sourceMessage = MAP_CTRL;
    row.item.targetMessage = MAP_SYSEX;
    row.sysexText = "F0 01 02 F7";
    DataMap original;
    original.load(std::vector<MapRow>{{row.item, {0xF0, 1, 2, 0xF7}}}, false);
    original.options = MAP_NRPN_DATA_INCR;
    const std::string home = std::getenv("HOME");
    for (const char* name : {"/round.vxm", "/round.txm"}) {
        SCOPED_TRACE(name);
        const QString path = QString::fromStdString(home + name);
        TranslationMapDialog saving(original, {}, nullptr);
        ASSERT_TRUE(saving.saveFile(path));
        TranslationMapDialog loading(DataMap{}, {}, nullptr);
        ASSERT_TRUE(loading.loadFile(path, false));
        ASSERT_TRUE(loading.loadFile(path, true)); // appended
        ASSERT_EQ(loading.editor().rows().size(), 2u);
        EXPECT_EQ(loading.editor().rows()[1].sysexText, row.sysexText);
        EXPECT_EQ(loading.editor().options, MAP_NRPN_DATA_INCR);
    }
    bool called = false;
    TranslationMapDialog cancelled(
        original, [&](const DataMap&) { return called = true; }, nullptr);
    cancelled.editor().clear();
    press(cancelled, QDialogButtonBox::Cancel);
    EXPECT_FALSE(called);
}

} // namespace
} // namespace corvex
