// The control panel, the NRPN calculator and the computer keyboard offscreen on a real engine
// client: synthesized key events and clicks, and the exact bytes they put on a loopback cable.
#include "instruments/ui/keyboard_tools.h"

#include "command_ids.h"
#include "event_tap.h"
#include "instruments/key_map.h"
#include "instruments/ui/spin_edit.h"
#include "settings/folders.h"
#include "support/qt_test_environment.h"

#include "ini/profile_strings.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <linux/input-event-codes.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <vector>

namespace corvex {
namespace {

[[maybe_unused]] const auto* const qt = testing::addQtTestEnvironment();

using Bytes = std::vector<uint8_t>;

std::string keyMapPath() {
    return engineSettingsFolder() + kKeyMapFileName;
}

class KeyboardToolsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tap_.ready()) << "no loopback cable to send to";
        std::filesystem::remove(keyMapPath());
        edit_.show();
        edit_.setFocus();
    }
    void makeTools() {
        tools_ = std::make_unique<KeyboardTools>(
            keyMapPath(), [this] { return tap_.client(); },
            [this](int command) {
                closed_.push_back(command);
                tools_->close(command);
            });
    }
    // A key event of the physical key `kernelCode` to the focused line edit.
    void key(QEvent::Type type, int kernelCode, int qtKey, const QString& text = {},
             bool repeat = false) {
        QKeyEvent event(type, qtKey, Qt::NoModifier, static_cast<quint32>(kernelCode + 8), 0, 0,
                        text, repeat);
        QApplication::sendEvent(&edit_, &event);
    }
    void tap(int kernelCode, int qtKey, const QString& text = {}) {
        key(QEvent::KeyPress, kernelCode, qtKey, text);
        key(QEvent::KeyRelease, kernelCode, qtKey, text);
    }

    testing::EventTap tap_;
    QLineEdit edit_;
    std::unique_ptr<KeyboardTools> tools_;
    std::vector<int> closed_;
};

TEST_F(KeyboardToolsTest, KeysPlayExactNotePairsAndNothingSticks) {
    struct Case {
        const char* what;
        std::function<void()> play;
        Bytes bytes;
    };
    const auto press = [this](int code, int qtKey) { key(QEvent::KeyPress, code, qtKey, "z"); };
    const auto release = [this](int code, int qtKey) { key(QEvent::KeyRelease, code, qtKey, "z"); };
    const Case cases[] = {
        {"press and release", [&] { tap(KEY_Z, Qt::Key_Z); }, {0x90, 48, 100, 0x80, 48, 64}},
        {"auto-repeat",
         [&] {
             press(KEY_Z, Qt::Key_Z);
             for (int i = 0; i < 3; ++i) {
                 key(QEvent::KeyRelease, KEY_Z, Qt::Key_Z, "z", true);
                 key(QEvent::KeyPress, KEY_Z, Qt::Key_Z, "z", true);
             }
             release(KEY_Z, Qt::Key_Z);
         },
         {0x90, 48, 100, 0x80, 48, 64}},
        {"octave changed while held",
         [&] {
             press(KEY_Z, Qt::Key_Z);
             tap(KEY_F3, Qt::Key_F3);
             release(KEY_Z, Qt::Key_Z);
             tap(KEY_Z, Qt::Key_Z);
         },
         {0x90, 48, 100, 0x80, 48, 64, 0x90, 12, 100, 0x80, 12, 64}},
        {"channel changed while held",
         [&] {
             press(KEY_RIGHTBRACE, Qt::Key_BracketRight);
             tap(KEY_KPPLUS, Qt::Key_Plus);
             release(KEY_RIGHTBRACE, Qt::Key_BracketRight);
             tap(KEY_M, Qt::Key_M);
         },
         {0x90, 79, 100, 0x80, 79, 64, 0x91, 59, 100, 0x81, 59, 64}},
        {"focus lost while held",
         [&] {
             press(KEY_Q, Qt::Key_Q);
             QEvent lost(QEvent::ApplicationDeactivate);
             QApplication::sendEvent(qApp, &lost);
             release(KEY_Q, Qt::Key_Q);
         },
         {0x90, 60, 100, 0x80, 60, 64}},
        {"switched off while held",
         [&] {
             press(KEY_W, Qt::Key_W);
             tools_->setKeyboardActive(false);
             release(KEY_W, Qt::Key_W);
             tools_->setKeyboardActive(true);
             release(KEY_W, Qt::Key_W);
         },
         {0x90, 62, 100, 0x80, 62, 64}},
        {"an event without a native key code",
         [&] { QTest::keyClick(&edit_, Qt::Key_Q); },
         {0x90, 60, 100, 0x80, 60, 64}},
        {"the sustain pedal ends with the focus",
         [&] {
             press(KEY_LEFTSHIFT, Qt::Key_Shift);
             QEvent lost(QEvent::ApplicationDeactivate);
             QApplication::sendEvent(qApp, &lost);
         },
         {0xB0, 64, 127, 0xB0, 64, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        makeTools();
        tools_->setKeyboardActive(true);
        c.play();
        tools_.reset();
        EXPECT_EQ(tap_.take(), c.bytes);
    }
    EXPECT_TRUE(edit_.text().isEmpty()); // the keys the keyboard took never reached the field
}

TEST_F(KeyboardToolsTest, KeysTheKeyboardDoesNotTakeReachTheWindow) {
    QAction help;
    help.setShortcut(Qt::Key_F1);
    edit_.addAction(&help);
    edit_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&edit_));
    int helped = 0;
    QObject::connect(&help, &QAction::triggered, [&helped] { ++helped; });
    makeTools();
    tools_->setKeyboardActive(true);
    tap(KEY_APOSTROPHE, Qt::Key_Apostrophe, "'");
    tap(KEY_Z, Qt::Key_Z, "z");
    QTest::keyClick(&edit_, Qt::Key_F1);                 // the keyboard's, not the shortcut's
    QTest::keyClick(&edit_, Qt::Key_Z, Qt::AltModifier); // Alt combinations pass
    EXPECT_EQ(helped, 0);
    tools_->setKeyboardActive(false);
    tap(KEY_Z, Qt::Key_Z, "z");
    QTest::keyClick(&edit_, Qt::Key_F1);
    EXPECT_EQ(helped, 1);
    EXPECT_EQ(edit_.text(), "'zz");
    EXPECT_EQ(tap_.take(), (Bytes{0x90, 48, 100, 0x80, 48, 64}));
}

TEST_F(KeyboardToolsTest, TheKeyMapFileIsCompletedAndPlays) {
    std::filesystem::create_directories(std::filesystem::path(keyMapPath()).parent_path());
    std::ofstream(keyMapPath()) << "[KeyMap]\nZ=7\n";
    makeTools();
    tools_->setKeyboardActive(true);
    tap(KEY_Z, Qt::Key_Z);
    EXPECT_EQ(tap_.take(), (Bytes{0x90, 55, 100, 0x80, 55, 64}));
    EXPECT_EQ(cvx::profile::readProfileInt(keyMapPath(), "KeyMap", "RBKT", -5), 31);
    EXPECT_EQ(cvx::profile::readProfileInt(keyMapPath(), "KeyMap", "Z", -5), 7);
}

TEST_F(KeyboardToolsTest, StrummedChordsArePacedWhileTheWindowStaysLive) {
    makeTools();
    tools_->setKeyboardActive(true);
    tap(KEY_A, Qt::Key_A);               // strum on, 200 ms
    tap(KEY_CAPSLOCK, Qt::Key_CapsLock); // chords
    QElapsedTimer clock;
    clock.start();
    key(QEvent::KeyPress, KEY_Z, Qt::Key_Z);
    EXPECT_EQ(tap_.take(), (Bytes{0x90, 48, 100}));
    key(QEvent::KeyRelease, KEY_Z, Qt::Key_Z); // its notes end after the strum has started them
    Bytes rest;
    while (rest.size() < 15 && clock.elapsed() < 5000) {
        QTest::qWait(20);
        const Bytes more = tap_.take();
        rest.insert(rest.end(), more.begin(), more.end());
    }
    EXPECT_GE(clock.elapsed(), 400);
    EXPECT_EQ(rest,
              (Bytes{0x90, 52, 100, 0x90, 55, 100, 0x80, 48, 64, 0x80, 52, 64, 0x80, 55, 64}));
}

class ControlPanelWindowTest : public KeyboardToolsTest {
protected:
    void SetUp() override {
        KeyboardToolsTest::SetUp();
        makeTools();
        openPanel();
    }
    void openPanel() {
        tools_->open(cmd::kControlPanel, nullptr);
        window_ = tools_->controlPanelWindow();
        ASSERT_NE(window_, nullptr);
    }
    void setField(SpinEdit* field, const QString& text) {
        field->edit()->setText(text);
        emit field->edit()->editingFinished();
    }

    ControlPanelWindow* window_ = nullptr;
};

TEST_F(ControlPanelWindowTest, EachControllerBankAndProgramGoesOutAsBytes) {
    tools_->patchSeen(0, (0xC000 | (1 << 7) | 2) * 256 + 40); // channel 1: bank 1/2, program 40
    struct Case {
        const char* what;
        std::function<void()> act;
        Bytes bytes;
    };
    const auto controller = [this](int entry, const char* value, const char* channel) {
        window_->controllerList()->setCurrentIndex(entry);
        window_->valueField()->edit()->setText(value);
        window_->channelField()->edit()->setText(channel);
        window_->send();
    };
    const Case cases[] = {
        {"modulation", [&] { controller(0, "5", "1"); }, {0xB0, 1, 5}},
        {"bend range",
         [&] { controller(19, "12", "3"); },
         {0xB2, 101, 0, 0xB2, 100, 0, 0xB2, 6, 12, 0xB2, 38, 0}},
        {"patch change", [&] { controller(18, "5", "1"); }, {0xC0, 5}},
        {"poly on", [&] { controller(129, "0", "16"); }, {0xBF, 127, 0}},
        {"bank, both halves",
         [&] {
             window_->channelField()->edit()->setText("1");
             window_->msbField()->edit()->setText("1");
             window_->lsbField()->edit()->setText("2");
             window_->sendBank();
         },
         {0xB0, 0, 1, 0xB0, 32, 2, 0xC0, 40}},
        {"bank, LSB only",
         [&] {
             window_->msbBox()->setChecked(false);
             window_->sendBank();
         },
         {0xB0, 32, 2, 0xC0, 40}},
        {"bank, nothing checked",
         [&] {
             window_->lsbBox()->setChecked(false);
             window_->sendBank();
         },
         {}},
        {"section 2, number 3",
         [&] {
             window_->sectionButton(1)->click();
             window_->numberButton(2)->click();
         },
         {0xC0, 8, 0xC0, 10}}, // each click with both chosen sends
        {"a value out of range sends nothing", [&] { controller(0, "200", "1"); }, {}},
        {"auto send on a step",
         [&] {
             controller(1, "99", "1");
             tap_.take();
             window_->valueField()->step(1);
             QTest::qWait(10);
         },
         {0xB0, 7, 100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.act();
        EXPECT_EQ(tap_.take(), c.bytes);
    }
    EXPECT_EQ(window_->programLabel()->text(), "11");

    Bytes expected;
    for (int entry = 0; entry < window_->controllerList()->count(); ++entry) {
        const int code = controllerTable()[static_cast<size_t>(entry)].code;
        if (code < 128) { // every controller of the list, by its position
            controller(entry, "3", "2");
            expected.insert(expected.end(), {0xB1, static_cast<uint8_t>(code), 3});
        }
    }
    Bytes sent;
    while (sent.size() < expected.size()) {
        const Bytes more = tap_.take();
        if (more.empty()) {
            break;
        }
        sent.insert(sent.end(), more.begin(), more.end());
    }
    EXPECT_EQ(sent, expected);

    window_->allChannelsBox()->setChecked(true);
    EXPECT_FALSE(window_->channelField()->isEnabled());
    controller(0, "9", "1");
    Bytes all;
    for (uint8_t channel = 0; channel < 16; ++channel) {
        all.insert(all.end(), {static_cast<uint8_t>(0xB0 | channel), 1, 9});
    }
    EXPECT_EQ(tap_.take(), all);
}

TEST_F(ControlPanelWindowTest, FieldsCorrectThemselvesAndTheDisplayFollowsItsChannel) {
    struct Case {
        SpinEdit* field;
        const char* typed;
        const char* shown;
    };
    const Case cases[] = {
        {window_->channelField(), "20", "16"}, {window_->channelField(), "ab", "1"},
        {window_->valueField(), "-4", "0"},    {window_->msbField(), "128", "127"},
        {window_->lsbField(), "64", "64"},
    };
    for (const Case& c : cases) {
        setField(c.field, c.typed);
        EXPECT_EQ(c.field->edit()->text(), c.shown) << c.typed;
    }

    tools_->patchSeen(2, (0x8000 | (5 << 7)) * 256 + 17); // channel 3
    EXPECT_EQ(window_->bankLabel()->text(), "");          // the panel shows channel 1
    window_->channelField()->edit()->setText("3");
    EXPECT_EQ(window_->bankLabel()->text(), "640");
    EXPECT_EQ(window_->patchLabel()->text(), "3-2");
    EXPECT_EQ(window_->programLabel()->text(), "18");
    EXPECT_EQ(window_->msbField()->edit()->text(), "5");
    EXPECT_TRUE(window_->sectionButton(2)->isChecked());
    EXPECT_TRUE(window_->numberButton(1)->isChecked());
    tools_->patchSeen(2, -1 * 256 + 3); // no bank known now
    EXPECT_EQ(window_->bankLabel()->text(), "---");
}

TEST_F(ControlPanelWindowTest, TheStateOutlivesTheWindow) {
    window_->controllerList()->setCurrentIndex(4);
    window_->valueField()->edit()->setText("77");
    window_->channelField()->edit()->setText("9");
    window_->autoSendBox()->setChecked(false);
    window_->valueField()->edit()->setText("300");
    window_->closePanel(); // refused: the value is out of range
    EXPECT_TRUE(closed_.empty());
    window_->valueField()->edit()->setText("77");
    window_->closePanel();
    EXPECT_EQ(closed_, std::vector<int>{cmd::kControlPanel});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(tools_->controlPanelWindow(), nullptr);
    openPanel();
    EXPECT_EQ(window_->controllerList()->currentIndex(), 4);
    EXPECT_EQ(window_->valueField()->edit()->text(), "77");
    EXPECT_EQ(window_->channelField()->edit()->text(), "9");
    EXPECT_FALSE(window_->autoSendBox()->isChecked());
    EXPECT_EQ(window_->msbField()->edit()->text(), "127"); // channel 9 has no bank entry
}

TEST_F(KeyboardToolsTest, TheCalculatorConvertsBothWaysInBothBases) {
    makeTools();
    tools_->open(cmd::kNrpnCalculator, nullptr);
    NrpnCalculatorWindow* calculator = tools_->calculatorWindow();
    ASSERT_NE(calculator, nullptr);
    const auto type = [calculator](NrpnField which, const char* text) {
        QLineEdit* field = calculator->field(which);
        field->clear();
        QTest::keyClicks(field, text);
        emit field->editingFinished();
    };
    struct Case {
        bool hex;
        NrpnField field;
        const char* typed;
        const char* msb;
        const char* lsb;
        const char* value;
        const char* otherValue;
    };
    const Case cases[] = {
        {false, NrpnField::Msb, "1", "1", "0", "128", "0080"},
        {false, NrpnField::Lsb, "2", "1", "2", "130", "0082"},
        {false, NrpnField::Value, "16383", "127", "127", "16383", "3FFF"},
        {false, NrpnField::Lsb, "200", "127", "127", "16383", "3FFF"}, // corrected, not computed
        {true, NrpnField::Value, "0082", "01", "02", "0082", "130"},
        {true, NrpnField::Msb, "G1", "00", "02", "0082", "130"},
        {true, NrpnField::Msb, "7f", "7F", "02", "3F82", "16258"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        (c.hex ? calculator->hexButton() : calculator->decimalButton())->setChecked(true);
        type(c.field, c.typed);
        EXPECT_EQ(calculator->field(NrpnField::Msb)->text(), c.msb);
        EXPECT_EQ(calculator->field(NrpnField::Lsb)->text(), c.lsb);
        EXPECT_EQ(calculator->field(NrpnField::Value)->text(), c.value);
        EXPECT_EQ(calculator->otherBaseField(NrpnField::Value)->text(), c.otherValue);
        EXPECT_EQ(calculator->upperRowInHex(), c.hex);
    }
    calculator->closeCalculator();
    EXPECT_EQ(closed_, std::vector<int>{cmd::kNrpnCalculator});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    tools_->open(cmd::kNrpnCalculator, nullptr);
    EXPECT_EQ(tools_->calculatorWindow()->field(NrpnField::Value)->text(), "3F82");
}

} // namespace
} // namespace corvex
