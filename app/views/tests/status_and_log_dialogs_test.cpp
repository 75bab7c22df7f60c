// The "ConfigStatus" and "LOG" dialogs offscreen, driven by keys and buttons as a user does.
#include "views/log_dialog.h"
#include "views/monitor_log.h"
#include "views/status_columns_dialog.h"
#include "views/status_items.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace corvex {
namespace {

std::string titleOfRow(const StatusColumns& columns, size_t row) {
    return std::string(statusItems()[columns[row + 1].item].title);
}

// Each case selects rows (the first becomes current), types keys on the list, and checks
// the titles of the first rows and which are shown.
TEST(StatusColumnsDialog, KeysEditOrderAndMarks) {
    struct Case {
        const char* name;
        std::vector<int> selected;
        QString keys;
        std::vector<std::string> titles; // rows 0.. after the keys
        std::vector<bool> shown;
    };
    const Case cases[] = {
        {"space hides a shown row", {0}, " ", {"Bank", "Patch"}, {false, true}},
        {"space on a mixed selection shows all", {8, 9}, " ", {"Bank"}, {true}},
        {"space twice restores", {0, 1}, "  ", {"Bank", "Patch"}, {true, true}},
        {"down moves one row", {0}, "d", {"Patch", "Bank", "Volume"}, {true, true, true}},
        {"up at the top stays", {0}, "u", {"Bank", "Patch"}, {true, true}},
        {"two selected do not move", {0, 1}, "d", {"Bank", "Patch"}, {true, true}},
        {"none then all", {0}, "o", {"Bank", "Patch"}, {false, false}},
        {"none, all", {0}, "ol", {"Bank", "Patch"}, {true, true}},
        {"default set after edits", {0}, "dd fo f", {"Bank", "Patch"}, {true, true}},
    };
    for (const Case& c : cases) {
        StatusColumnsDialog dialog(defaultStatusColumns(), SnapshotOptions{});
        auto* list = dialog.findChild<QListWidget*>();
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(list->count(), static_cast<int>(kStatusItemCount - 1));
        list->clearSelection();
        list->setCurrentRow(c.selected.front(), QItemSelectionModel::NoUpdate);
        for (int row : c.selected) {
            list->item(row)->setSelected(true);
        }
        QTest::keyClicks(list, c.keys);
        for (size_t i = 0; i < c.titles.size(); ++i) {
            EXPECT_EQ(titleOfRow(dialog.columns(), i), c.titles[i]) << c.name;
            EXPECT_EQ(dialog.columns()[i + 1].shown, c.shown[i]) << c.name;
            EXPECT_EQ(list->item(static_cast<int>(i))->text().startsWith('X'), c.shown[i])
                << c.name;
        }
        EXPECT_TRUE(isValidStatusColumns(dialog.columns())) << c.name;
        EXPECT_EQ(dialog.columns()[0], (StatusColumn{0, true})) << c.name;
    }
}

TEST(StatusColumnsDialog, SnapshotOptionsComeBackAsChecked) {
    StatusColumnsDialog dialog(defaultStatusColumns(), SnapshotOptions{true, false, true});
    for (QCheckBox* box : dialog.findChildren<QCheckBox*>()) {
        box->toggle();
    }
    const SnapshotOptions options = dialog.options();
    EXPECT_FALSE(options.controllers);
    EXPECT_TRUE(options.channelMode);
    EXPECT_FALSE(options.extra);
}

class LogDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::path(::testing::TempDir()) / "log_dialog";
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        settings.path = (folder / "first.txt").string();
    }
    // Accepts the message box the next step shows.
    static void acceptNextMessage() {
        QTimer::singleShot(0, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                box->accept();
            }
        });
    }

    std::filesystem::path folder;
    LogFileSettings settings;
};

TEST_F(LogDialogTest, MidiToTextGreysAppendAndOkOpensRenamesAndClosesTheLog) {
    MonitorLog log(settings, folder.string(), "1.0");
    LogDialog dialog(log, settings, {});
    auto* format = dialog.findChild<QComboBox*>();
    auto* append = dialog.findChildren<QRadioButton*>().at(0);
    ASSERT_TRUE(append->isChecked());
    format->setCurrentIndex(1);
    EXPECT_FALSE(append->isEnabled());
    EXPECT_FALSE(dialog.chosen().append);
    format->setCurrentIndex(2);
    EXPECT_TRUE(append->isEnabled());
    EXPECT_TRUE(dialog.chosen().append) << "the user's choice returns";

    dialog.findChildren<QCheckBox*>().at(0)->setChecked(true); // "Enable Logging"
    dialog.accept();
    ASSERT_TRUE(log.isOpen());
    EXPECT_EQ(settings.format, 2);

    struct Step {
        const char* name;
        std::string path;
        bool enabled;
        bool staysOpen; // the dialog refuses OK
        bool logOpen;
        std::string logPath;
    };
    const std::string second = (folder / "second.txt").string();
    const Step steps[] = {
        {"missing folder", (folder / "no" / "x.txt").string(), true, true, true, settings.path},
        {"new name reopens", second, true, false, true, second},
        {"disabled closes", second, false, false, false, ""},
    };
    for (const Step& step : steps) {
        LogDialog again(log, settings, {});
        again.findChild<QLineEdit*>()->setText(QString::fromStdString(step.path));
        again.findChildren<QCheckBox*>().at(0)->setChecked(step.enabled);
        again.show();
        if (step.staysOpen) {
            acceptNextMessage();
        }
        again.accept();
        EXPECT_EQ(again.isVisible(), step.staysOpen) << step.name;
        EXPECT_EQ(log.isOpen(), step.logOpen) << step.name;
        if (step.logOpen) {
            EXPECT_TRUE(log.isRunningLog(step.logPath)) << step.name;
        }
    }
    std::ifstream first(folder / "first.txt", std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(first)), {});
    EXPECT_TRUE(text.find("<=== Corvex Log Closed: ") != std::string::npos)
        << "the renamed log was closed whole";
}

} // namespace
} // namespace corvex
