// The filter dialog and the map editor offscreen on a real engine client: options toggled in
// the dialog change what the main monitor shows and what the loopback output passes; a row
// added in the editor rewrites a message on its way out; maps saved and loaded from the
// editor in both formats, through its file dialogs too; the row keys; numbers clamped as
// typed; Cancel changes nothing.
#include "client_api_fixture.h"

#include "mapping/ascii_map_file.h"
#include "mapping/map_file_loader.h"
#include "mapping/ui/define_mapping_dialog.h"
#include "mapping/ui/filter_dialog.h"
#include "mapping/ui/translation_map_dialog.h"
#include "support/qt_test_environment.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>

namespace corvex {
namespace {

using cvx::test::Bytes;
using cvx::test::routeFrom;

[[maybe_unused]] const auto* const qt = corvex::testing::addQtTestEnvironment();

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

// Numbers typed outside a field's range stand as the nearest end of it at once, never
// wrapped or refused half-way, and OK stores what is shown.
TEST_F(MappingDialogsTest, TypedNumbersAreClampedToTheirRange) {
    const struct {
        uint8_t type;
        const char* field;
        const char* typed;
        int shown;
    } cases[] = {{MAP_NOTE_ON, "in0", "200", 127},     {MAP_NRPN, "in0", "20000", 16383},
                 {MAP_NOTE_ON, "in1", "-5", -1},       {MAP_CTRL, "out2", "128", 127},
                 {MAP_NOTE_ON, "delay", "1500", 1023}, {MAP_NOTE_ON, "in3", "64", 64}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        DefineMappingDialog define(newMapRow(), nullptr);
        for (const char* side : {"inType", "outType"}) {
            auto* type = define.findChild<QComboBox*>(side);
            type->setCurrentIndex(type->findData(c.type));
        }
        auto* box = define.findChild<QSpinBox*>(c.field);
        box->clear();
        QTest::keyClicks(box, c.typed);
        EXPECT_EQ(box->value(), c.shown);
        const MapItem item = define.row().item;
        const uint16_t fields[] = {item.sourceV1Min, item.sourceV1Max, item.sourceV2Min,
                                   item.sourceV2Max};
        const uint16_t stored = c.shown < 0 ? 0xFFFF : static_cast<uint16_t>(c.shown);
        if (c.field[0] == 'i') {
            EXPECT_EQ(fields[c.field[2] - '0'], stored);
        } else if (c.field[0] == 'o') {
            EXPECT_EQ(item.targetV2Min, stored);
        } else {
            EXPECT_EQ(item.itemFlags >> 6, stored);
        }
    }
}

// The row keys reach the editor: Ins opens Define Mapping (its OK inserts the row), Ctrl+C
// and Ctrl+V copy a row, Enter edits, Del and Ctrl+X remove.
TEST_F(MappingDialogsTest, KeysRunTheRowCommands) {
    TranslationMapDialog dialog(DataMap{}, {}, nullptr);
    dialog.show();
    auto* list = dialog.findChild<QListWidget*>("mapRows");
    list->setFocus();
    auto answerDefineMapping = [](uint8_t type) {
        QTimer::singleShot(0, [type] {
            auto* define = qobject_cast<DefineMappingDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(define, nullptr);
            auto* inType = define->findChild<QComboBox*>("inType");
            inType->setCurrentIndex(inType->findData(type));
            define->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
    };
    const struct {
        QKeyCombination key;
        uint8_t defined; // the type Define Mapping is given, 0 when it does not open
        std::vector<uint8_t> types;
    } steps[] = {{Qt::Key_Insert, MAP_NOTE_ON, {MAP_NOTE_ON}},
                 {Qt::CTRL | Qt::Key_C, 0, {MAP_NOTE_ON}},
                 {Qt::CTRL | Qt::Key_V, 0, {MAP_NOTE_ON, MAP_NOTE_ON}},
                 {Qt::Key_Return, MAP_CTRL, {MAP_CTRL, MAP_NOTE_ON}},
                 {Qt::Key_Delete, 0, {MAP_NOTE_ON}},
                 {Qt::CTRL | Qt::Key_X, 0, {}}};
    for (const auto& step : steps) {
        SCOPED_TRACE(QKeySequence(step.key).toString().toStdString());
        dialog.activateWindow(); // again after Define Mapping closed
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        if (step.defined != 0) {
            answerDefineMapping(step.defined);
        }
        QTest::keyClick(list, step.key.key(), step.key.keyboardModifiers());
        std::vector<uint8_t> types;
        for (const MapEditorRow& row : dialog.editor().rows()) {
            types.push_back(row.item.sourceMessage);
        }
        EXPECT_EQ(types, step.types);
        EXPECT_EQ(list->count(), static_cast<int>(step.types.size()));
    }
}

// The Load dialog's filter picks the reader whatever the file is called, and its append box
// keeps its state; the Save dialog's filter picks the writer and adds its extension; "Open
// Text Map in Editor" hands the file to the desktop.
TEST_F(MappingDialogsTest, FileDialogsChooseTheFormat) {
    MapEditorRow row = newMapRow();
    row.item.sourceMessage = MAP_NOTE_ON;
    DataMap original;
    original.load(std::vector<MapRow>{{row.item, {}}}, false);
    const QString home = QString::fromLocal8Bit(std::getenv("HOME"));
    const QString textMap = home + "/plain.map"; // a text map by content only
    ASSERT_TRUE(writeAsciiMap(original, textMap.toStdString()).ok);

    TranslationMapDialog dialog(DataMap{}, {}, nullptr);
    dialog.setFileFolder(home);
    dialog.show();
    int warnings = 0;
    auto answer = [&](const char* nameFilter, const QString& file, bool append) {
        QTimer::singleShot(0, [&, nameFilter, file, append] {
            auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(files, nullptr);
            files->selectNameFilter(nameFilter);
            files->selectFile(file);
            if (auto* box = files->findChild<QCheckBox*>()) {
                box->setChecked(append);
            }
            QTimer::singleShot(0, [&] { // a warning, if any, is answered
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    ++warnings;
                    box->accept();
                }
            });
            static_cast<QDialog*>(files)->accept(); // the file dialog's own accept
        });
    };
    const struct {
        const char* nameFilter;
        bool append;
        size_t rows;
        int warnings;
    } loads[] = {{"Corvex ASCII Map (*.txm)", false, 1, 0},
                 {"Corvex ASCII Map (*.txm)", true, 2, 0},
                 {"Corvex Map (*.vxm)", true, 2, 1},         // not a binary map: refused, rows kept
                 {"All Corvex (*.vxm *.txm)", false, 1, 0}}; // tried as both
    for (const auto& load : loads) {
        SCOPED_TRACE(load.nameFilter);
        answer(load.nameFilter, textMap, load.append);
        click(dialog, "Load");
        EXPECT_EQ(dialog.editor().rows().size(), load.rows);
        EXPECT_EQ(warnings, load.warnings);
        EXPECT_EQ(dialog.appendMaps(), load.append);
        warnings = 0;
    }

    for (const char* nameFilter : {"Corvex Map (*.vxm)", "Corvex ASCII Map (*.txm)"}) {
        answer(nameFilter, home + "/saved", false);
        click(dialog, "Save");
    }
    DataMap saved;
    for (const char* name : {"/saved.vxm", "/saved.txm"}) {
        const MapFileFormat format =
            QString(name).endsWith(".txm") ? MapFileFormat::Ascii : MapFileFormat::Binary;
        EXPECT_TRUE(loadMapFile(saved, (home + name).toStdString(), format, false, true).ok)
            << name;
        EXPECT_EQ(saved.items().size(), 1u) << name;
    }

    QTextBrowser editor; // stands in for the desktop's text editor
    QDesktopServices::setUrlHandler("file", &editor, "setSource");
    EXPECT_TRUE(dialog.openInTextEditor(textMap));
    QDesktopServices::unsetUrlHandler("file");
    EXPECT_EQ(editor.source(), QUrl::fromLocalFile(textMap));
}

} // namespace
} // namespace corvex
