// The device manager's Qt side, offscreen: the debounced device-change watcher, the SysEx
// buffers dialog and the message boxes.
#include "device_change_watcher.h"
#include "device_message_boxes.h"
#include "device_test_support.h"
#include "midi.h"
#include "sysex_buffers_dialog.h"

#include "vmidi.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QtTest/QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace corvex::testing {
namespace {

using ::testing::ElementsAre;

QApplication& application() {
    static int argc = 1;
    static char name[] = "cvx_devices_ui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

// Clicks the button with `text` of the next modal message box, and keeps its text.
void answerNextBox(const QString& text, QString* shownText = nullptr,
                   QString* shownTitle = nullptr) {
    QTimer::singleShot(0, [=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            answerNextBox(text, shownText, shownTitle); // not up yet
            return;
        }
        if (shownText != nullptr) {
            *shownText = box->text();
        }
        if (shownTitle != nullptr) {
            *shownTitle = box->windowTitle();
        }
        for (QAbstractButton* button : box->buttons()) {
            if (button->text() == text) {
                button->click();
                return;
            }
        }
        box->reject();
    });
}

TEST(DeviceChangeWatcher, BurstsOfChangesRunOneCheckAfterTheDebounce) {
    application();
    RecordingTarget target;
    DeviceChangeSignal signal;
    int checks = 0;
    DeviceChangeWatcher watcher(signal, [&] { ++checks; });
    signal.notify();
    signal.notify();
    signal.notify();
    QTRY_VERIFY_WITH_TIMEOUT(watcher.waiting() || checks > 0, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(checks, 1, 10000);
    QTest::qWait(2 * DeviceChangeWatcher::kDebounceMs);
    EXPECT_EQ(checks, 1);
    EXPECT_FALSE(watcher.waiting());
}

TEST(DeviceChangeWatcher, APluggedCableReachesTheCheckThroughTheService) {
    application();
    RecordingTarget target;
    DeviceChangeSignal signal;
    int checks = 0;
    DeviceChangeWatcher watcher(signal, [&] { ++checks; });
    ASSERT_EQ(vmidiAddCable("Watched Cable"), 1);
    QTRY_COMPARE_WITH_TIMEOUT(checks, 1, 10000);
    ASSERT_EQ(vmidiRemoveCable("Watched Cable"), 1);
    QTRY_COMPARE_WITH_TIMEOUT(checks, 2, 10000);
}

// Typed numbers beyond the spinners' 1-32767 and sizes beyond 1-65535 are stored at the
// nearest bound, with one "Out of Range Values Adjusted."; a count stored as 1 is raised to
// 2 when SysEx is switched on.
TEST(SysExBuffersDialog, OutOfRangeValuesAreAdjustedAndSaidOnce) {
    application();
    const struct {
        const char* inputCount;
        const char* outputSize;
        SysExBufferConfig stored;
    } cases[] = {
        {"0", "8192", {false, 1, 8192, 8, 8192}},
        {"40000", "8192", {false, 32767, 8192, 8, 8192}},
        {"0", "70000", {false, 1, 8192, 8, 65535}},
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(std::string(entry.inputCount) + " / " + entry.outputSize);
        RecordingTarget target;
        RecordingUi ui;
        MemoryGuard guard;
        PlatformDeviceQuery query;
        CMidi midi(ui, guard, query);
        midi.enumerateDevices();
        SysExBuffersDialog dialog(midi.sysexBuffers(), ui);
        EXPECT_EQ(dialog.inputSizeField()->text(), "8192");
        EXPECT_EQ(dialog.inputCountField()->minimum(), 1);
        EXPECT_EQ(dialog.inputCountField()->maximum(), 32767);
        // Typed: the spinner's arrows cannot leave its range.
        dialog.inputCountField()->findChild<QLineEdit*>()->setText(entry.inputCount);
        dialog.outputSizeField()->setText(entry.outputSize);
        dialog.accept();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_THAT(ui.warnings, ElementsAre("Out of Range Values Adjusted."));
        EXPECT_EQ(midi.sysexConfig(), entry.stored);
        ui.warnings.clear();
        ASSERT_TRUE(midi.switchSysExOn());
        if (entry.stored.inputCount == 1) {
            EXPECT_THAT(ui.warnings, ElementsAre("Selected number of input SysEx buffers is "
                                                 "less than 2! Defaulting to 2"));
            EXPECT_EQ(midi.sysexConfig().inputCount, 2);
        }
    }
}

TEST(SysExBuffersDialog, UnchangedValuesLeaveTheBuffersAlone) {
    application();
    RecordingTarget target;
    RecordingUi ui;
    MemoryGuard guard;
    PlatformDeviceQuery query;
    CMidi midi(ui, guard, query);
    SysExBuffersDialog dialog(midi.sysexBuffers(), ui);
    dialog.accept();
    EXPECT_TRUE(ui.warnings.empty());
    EXPECT_TRUE(ui.sysexSwitches.empty());
}

TEST(DeviceMessageBoxes, PreviousFailureOffersItsThreeAnswers) {
    application();
    DeviceMessageBoxes boxes("Corvex", {});
    QString text;
    QString title;
    answerNextBox("View Log...", &text, &title);
    EXPECT_EQ(boxes.askPreviousFailure(), DeviceUserInterface::RetryAnswer::ViewLog);
    EXPECT_EQ(title, "Previous Failure");
    EXPECT_EQ(text, "The previous driver opening failed.\nDo you wish to attempt it again?");
    answerNextBox("No");
    EXPECT_EQ(boxes.askPreviousFailure(), DeviceUserInterface::RetryAnswer::No);
    answerNextBox("Yes");
    EXPECT_EQ(boxes.askPreviousFailure(), DeviceUserInterface::RetryAnswer::Yes);
}

TEST(DeviceMessageBoxes, WarningsCarryTheCaptionAndTextsReachTheCallbacks) {
    application();
    std::vector<QString> lines;
    int changes = 0;
    std::vector<bool> sysex;
    std::vector<SysExBufferConfig> buffers;
    DeviceMessageBoxes boxes("Corvex",
                             {[&](const QString& line) { lines.push_back(line); },
                              [&] { ++changes; }, [&](bool on) { sysex.push_back(on); },
                              [&](const SysExBufferConfig& config) { buffers.push_back(config); }});
    QString text;
    QString title;
    answerNextBox("OK", &text, &title);
    boxes.showWarning("StartMidiIn Failed - dev: 1");
    EXPECT_EQ(title, "Corvex");
    EXPECT_EQ(text, "StartMidiIn Failed - dev: 1");
    boxes.appendMonitorText("Opened MIDI Input");
    boxes.portsChanged();
    boxes.sysexPassingChanged(false);
    boxes.sysexBuffersChanged({true, 2, 256, 3, 512});
    EXPECT_THAT(lines, ElementsAre("Opened MIDI Input"));
    EXPECT_EQ(changes, 1);
    EXPECT_THAT(sysex, ElementsAre(false));
    EXPECT_THAT(buffers, ElementsAre(SysExBufferConfig{true, 2, 256, 3, 512}));
}

} // namespace
} // namespace corvex::testing
