// The frame's toolbar offscreen: buttons run their commands and show their state, the
// keyboard button flashes, the customised layout is stored and comes back in a new frame.
// The program's QApplication is registered by frame_window_test.cpp.
#include "command_ids.h"
#include "customize_toolbar_dialog.h"
#include "fake_frame_services.h"
#include "frame_prompts.h"
#include "frame_tool_bar.h"
#include "frame_window.h"
#include "tool_bar_buttons.h"
#include "window_messages.h"

#include <QAction>
#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QToolTip>

#include <gtest/gtest.h>

namespace corvex {
namespace {

using testing::FakeFrameServices;

// Answers the customise dialog with a fixed layout and notes every warning.
struct ToolBarPrompts : FramePrompts {
    std::optional<ToolBarLayout> chosen;
    std::vector<QString>* warnings;
    explicit ToolBarPrompts(std::vector<QString>* w) : warnings(w) {}
    bool customizeToolBar(QWidget*, ToolBarLayout& layout) override {
        if (chosen) {
            layout = *chosen;
        }
        return chosen.has_value();
    }
    void warn(QWidget*, const QString& text) override { warnings->push_back(text); }
    bool editGeneralOptions(QWidget*, GeneralOptions& options) override {
        options.showTooltips = !options.showTooltips;
        return true;
    }
};

class ToolBarTest : public ::testing::Test {
protected:
    void SetUp() override { makeFrame(); }

    void makeFrame() {
        frame_.reset();
        frame_ = std::make_unique<FrameWindow>(services_);
        auto prompts = std::make_unique<ToolBarPrompts>(&warnings_);
        prompts_ = prompts.get();
        frame_->setPrompts(std::move(prompts));
        frame_->addView(ViewKind::MainMonitor, new QLabel("main"));
        frame_->resize(1000, 600);
        frame_->show();
    }

    FrameToolBar& toolBar() { return *frame_->frameToolBar(); }
    QWidget* buttonWidget(int command) {
        QAction* button = toolBar().button(command);
        return button == nullptr ? nullptr : toolBar().widgetForAction(button);
    }
    void click(int command) {
        QWidget* widget = buttonWidget(command);
        ASSERT_NE(widget, nullptr) << command;
        QTest::mouseClick(widget, Qt::LeftButton);
    }

    FakeFrameServices services_;
    std::vector<QString> warnings_;
    ToolBarPrompts* prompts_ = nullptr;
    std::unique_ptr<FrameWindow> frame_;
};

// Each toggle's picture shows its state before and after a click; the click ran the
// frame's command (the same one its menu item runs).
TEST_F(ToolBarTest, ButtonsRunTheirCommandsAndShowTheirState) {
    services_.passSysExAllocates = false; // switching it back on fails
    struct Case {
        int command;
        int before, after;
    };
    const Case cases[] = {
        {cmd::kStopDisplay, 9, 18}, {cmd::kPassSysEx, 13, 17}, {cmd::kAlwaysOnTop, 15, 11},
        {cmd::kKeyboard, 5, 20},    {cmd::kPassSysEx, 17, 17}, // refused: stays off
    };
    services_.provided.insert(cmd::kKeyboard);
    frame_->refreshCommands();
    for (const Case& c : cases) {
        EXPECT_FALSE(toolBar().button(c.command)->icon().isNull()) << c.command;
        EXPECT_EQ(toolBar().shownImage(c.command), c.before) << c.command;
        click(c.command);
        EXPECT_EQ(toolBar().shownImage(c.command), c.after) << c.command;
    }
    EXPECT_EQ(services_.displayed, std::vector<bool>{false});
    EXPECT_EQ(services_.passSysExCalls, (std::vector<bool>{false, true}));
    EXPECT_EQ(services_.keyboardCalls, std::vector<bool>{true});
    EXPECT_TRUE(frame_->frameState().onTop);
    EXPECT_TRUE(toolBar().button(cmd::kKeyboard)->isChecked());

    // The keyboard button flashes on the 500 ms light timer, and stops when switched off.
    std::set<int> flashed;
    for (int i = 0; i < 5; ++i) {
        QTest::qWait(300);
        flashed.insert(toolBar().shownImage(cmd::kKeyboard));
    }
    EXPECT_EQ(flashed, (std::set<int>{kKeyboardDarkImage, kKeyboardLitImage}));
    click(cmd::kKeyboard);
    EXPECT_EQ(toolBar().shownImage(cmd::kKeyboard), 5);
    EXPECT_FALSE(toolBar().button(cmd::kKeyboard)->isChecked());
}

// Buttons follow their menu items: greyed while nobody runs the command or its tool window
// is open, pressed while the program's check mark is set.
TEST_F(ToolBarTest, ButtonsFollowAvailabilityAndTheProgramsCheckMarks) {
    EXPECT_FALSE(toolBar().button(cmd::kMidiFilter)->isEnabled());
    EXPECT_FALSE(toolBar().button(cmd::kControlPanel)->isEnabled());
    EXPECT_TRUE(toolBar().button(cmd::kMainMonitor)->isEnabled());
    services_.provided = {cmd::kMidiFilter, cmd::kControlPanel, cmd::kReleaseMidi};
    frame_->refreshCommands();
    click(cmd::kMidiFilter);
    click(cmd::kControlPanel);
    EXPECT_EQ(services_.ranCommands, (std::vector<int>{cmd::kMidiFilter, cmd::kControlPanel}));
    EXPECT_FALSE(toolBar().button(cmd::kControlPanel)->isEnabled()); // its window is open
    EXPECT_FALSE(toolBar().button(cmd::kMidiFilter)->isChecked());   // the dialog decides
    frame_->setCommandChecked(cmd::kMidiFilter, true);
    EXPECT_TRUE(toolBar().button(cmd::kMidiFilter)->isChecked());
    frame_->handleMessage(WM_CVX_CHILDCLOSED, 0, cmd::kControlPanel);
    EXPECT_TRUE(toolBar().button(cmd::kControlPanel)->isEnabled());

    EXPECT_EQ(toolBar().shownImage(cmd::kReleaseMidi), 12);
    services_.open = false; // the program releases the ports when the command runs
    click(cmd::kReleaseMidi);
    EXPECT_EQ(toolBar().shownImage(cmd::kReleaseMidi), 16);
}

TEST_F(ToolBarTest, CustomisedLayoutIsStoredAndComesBackInANewFrame) {
    EXPECT_EQ(toolBar().shownLayout(), defaultToolBarLayout());
    const ToolBarLayout custom{cmd::kPanicReset, kToolBarSeparator, cmd::kKeyboard, cmd::kLog};
    prompts_->chosen = custom;
    ASSERT_TRUE(frame_->runCommand(cmd::kCustomizeToolbar));
    EXPECT_EQ(toolBar().shownLayout(), custom);
    EXPECT_EQ(toolBar().button(cmd::kMidiFilter), nullptr);
    ASSERT_TRUE(services_.toolBarLayout.has_value()); // stored when customising ends

    makeFrame(); // a restart: the layout comes from the store
    EXPECT_EQ(toolBar().shownLayout(), custom);
    EXPECT_EQ(toolBar().shownImage(cmd::kPanicReset), 22);
    prompts_->chosen.reset(); // cancelled: nothing changes
    frame_->runCommand(cmd::kCustomizeToolbar);
    EXPECT_EQ(toolBar().shownLayout(), custom);

    services_.toolBarLayout = std::vector<uint8_t>{'C', 'V', 'T', 'B', 1, 9};
    makeFrame(); // a damaged value gives every button
    EXPECT_EQ(toolBar().shownLayout(), defaultToolBarLayout());
    frame_->close(); // the layout is stored when the frame closes, too
    EXPECT_EQ(decodeToolBarLayout(*services_.toolBarLayout), defaultToolBarLayout());
}

TEST_F(ToolBarTest, TooltipsAreTheCommandHelpAndFollowTheOption) {
    QWidget* filter = buttonWidget(cmd::kMidiFilter);
    ASSERT_NE(filter, nullptr);
    EXPECT_EQ(toolBar().button(cmd::kMidiFilter)->toolTip(), "Choose MIDI data to Filter Out");
    const auto tooltipShown = [filter] {
        QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), filter->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(filter, &help);
        const bool shown =
            QToolTip::isVisible() && QToolTip::text() == "Choose MIDI data to Filter Out";
        QToolTip::hideText(); // it fades out
        EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 2000));
        return shown;
    };
    EXPECT_TRUE(tooltipShown());
    frame_->runCommand(cmd::kGeneralOptions); // "Show Tooltips" switched off
    ASSERT_FALSE(services_.options.showTooltips);
    EXPECT_FALSE(tooltipShown());
    QTest::qWait(20);
}

TEST(CustomizeToolbarDialogTest, ButtonsMoveBetweenTheListsAndResetBringsBackTheStart) {
    const ToolBarLayout start{cmd::kLog, kToolBarSeparator, cmd::kPanicReset};
    CustomizeToolbarDialog dialog(start, nullptr);
    const auto press = [&dialog](const char* name) {
        auto* button = dialog.findChild<QPushButton*>(QString::fromUtf8(name));
        ASSERT_NE(button, nullptr) << name;
        button->click();
    };
    const auto addableRow = [&dialog](int command) {
        for (int row = 0; row < dialog.addableList()->count(); ++row) {
            if (dialog.addableList()->item(row)->data(Qt::UserRole).toInt() == command) {
                return row;
            }
        }
        return -1;
    };
    EXPECT_EQ(dialog.addableList()->item(0)->text(), "SEP");
    EXPECT_EQ(addableRow(cmd::kLog), -1); // already on the toolbar
    EXPECT_EQ(dialog.addableList()->count(), 1 + 28 - 2);

    dialog.shownList()->setCurrentRow(1); // before the separator
    dialog.addableList()->setCurrentRow(addableRow(cmd::kKeyboard));
    press("add");
    EXPECT_EQ(dialog.layout(),
              (ToolBarLayout{cmd::kLog, cmd::kKeyboard, kToolBarSeparator, cmd::kPanicReset}));
    press("down");
    press("down");
    EXPECT_EQ(dialog.layout(),
              (ToolBarLayout{cmd::kLog, kToolBarSeparator, cmd::kPanicReset, cmd::kKeyboard}));
    EXPECT_FALSE(dialog.findChild<QPushButton*>("down")->isEnabled()); // at the end
    dialog.shownList()->setCurrentRow(0);
    press("remove");
    EXPECT_EQ(dialog.layout(),
              (ToolBarLayout{kToolBarSeparator, cmd::kPanicReset, cmd::kKeyboard}));
    EXPECT_NE(addableRow(cmd::kLog), -1);
    press("reset");
    EXPECT_EQ(dialog.layout(), start);
    press("defaults");
    EXPECT_EQ(dialog.layout(), defaultToolBarLayout());
}

} // namespace
} // namespace corvex
