// The frame's tray icon offscreen: minimising into the tray, the icon's clicks, menu, tip
// and animation, and the fallback where the desktop has no tray.
// The program's QApplication is registered by frame_window_test.cpp.
#include "command_ids.h"
#include "fake_frame_services.h"
#include "frame_prompts.h"
#include "frame_tray_icon.h"
#include "frame_window.h"
#include "window_messages.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

namespace corvex {
namespace {

using testing::FakeFrameServices;

constexpr intptr_t kLeftButtonUp = 0x0202;

class TrayIconTest : public ::testing::Test {
protected:
    void SetUp() override {
        frame_ = std::make_unique<FrameWindow>(services_);
        frame_->setPrompts(std::make_unique<FramePrompts>());
        frame_->addView(ViewKind::MainMonitor, new QLabel("main"));
        frame_->show();
    }
    void minimise() {
        frame_->showMinimized();
        QTest::qWait(20); // the frame hides once minimised
    }
    FrameTrayIcon& tray() { return *frame_->trayIcon(); }
    std::vector<QString> menuTexts() {
        tray().fillMenu();
        std::vector<QString> texts;
        for (QAction* item : tray().menu()->actions()) {
            texts.push_back(item->isSeparator() ? QString("-") : item->text());
        }
        return texts;
    }

    FakeFrameServices services_;
    std::unique_ptr<FrameWindow> frame_;
};

// Without a tray (as offscreen) the window never disappears: minimising stays minimising,
// no icon is shown, and the tray options are greyed with the reason.
TEST_F(TrayIconTest, WithoutATrayTheFrameMinimisesAndTheOptionsSayWhy) {
    if (FrameTrayIcon::desktopHasTray()) {
        GTEST_SKIP() << "this desktop has a system tray";
    }
    frame_->setTrayAvailable(false);
    for (int id : {cmd::kMinimizeInTray, cmd::kAlwaysInTray}) {
        QAction* item = frame_->action(id);
        EXPECT_FALSE(item->isEnabled()) << id;
        EXPECT_TRUE(item->text().endsWith("(no system tray)")) << id;
        EXPECT_EQ(item->statusTip().toStdString(), kNoTrayNotice) << id;
    }
    FrameState saved = frame_->frameState();
    saved.minimizeToTray = saved.alwaysInTray = true; // saved where a tray existed
    frame_->setFrameState(saved);
    EXPECT_TRUE(frame_->action(cmd::kMinimizeInTray)->isChecked()); // kept for next time
    EXPECT_FALSE(tray().isShown());
    minimise();
    EXPECT_TRUE(frame_->isVisible());
    EXPECT_FALSE(frame_->hiddenInTray());
    frame_->showNormal();
    frame_->showMinimizedOrInTray(); // --mintray
    QTest::qWait(20);
    EXPECT_TRUE(frame_->isVisible());
    EXPECT_TRUE(frame_->isMinimized());
    EXPECT_FALSE(tray().isShown());

    // A tray that goes away while the frame is in it gives the window back: the frame keeps
    // asking the desktop while it is hidden.
    frame_->setTrayAvailable(true);
    frame_->runCommand(cmd::kShowHide);
    frame_->runCommand(cmd::kShowHide);
    ASSERT_TRUE(frame_->hiddenInTray());
    EXPECT_TRUE(QTest::qWaitFor([this] { return frame_->isVisible(); }, 5000));
    EXPECT_FALSE(frame_->hiddenInTray());
    EXPECT_FALSE(frame_->frameState().trayAvailable);
}

TEST_F(TrayIconTest, MinimisingGoesIntoTheTrayAndAClickBringsTheFrameBack) {
    frame_->setTrayAvailable(true);
    EXPECT_TRUE(frame_->action(cmd::kMinimizeInTray)->isEnabled());
    frame_->runCommand(cmd::kMinimizeInTray);
    EXPECT_TRUE(frame_->frameState().minimizeToTray);
    EXPECT_FALSE(tray().isShown());
    minimise();
    EXPECT_FALSE(frame_->isVisible());
    EXPECT_TRUE(frame_->hiddenInTray());
    EXPECT_TRUE(tray().isShown());
    EXPECT_EQ(menuTexts(),
              (std::vector<QString>{"S&how Corvex", "&Release MIDI", "Global &Data Map", "-",
                                    "G&M Reset", "G&S Reset", "X&G Reset", "-", "E&xit"}));
    EXPECT_EQ(tray().tip(), "Corvex In: 1 Device, Out: 2 Devices");

    frame_->handleMessage(WM_CVX_TRAYNOTIFY, 24, kLeftButtonUp);
    EXPECT_TRUE(frame_->isVisible());
    EXPECT_FALSE(tray().isShown()); // not always in the tray
    EXPECT_EQ(menuTexts().front(), "&Hide Corvex");

    // Always in the tray: the icon stays while the frame shows; a click hides the frame.
    frame_->runCommand(cmd::kAlwaysInTray);
    EXPECT_TRUE(tray().isShown());
    frame_->handleMessage(WM_CVX_TRAYNOTIFY, 24, kLeftButtonUp);
    EXPECT_FALSE(frame_->isVisible());
    frame_->handleMessage(WM_CVX_TRAYNOTIFY, 24, kLeftButtonUp);
    EXPECT_TRUE(frame_->isVisible());
    EXPECT_TRUE(tray().isShown());

    // Output steps the picture, paced; the tip follows the ports.
    const int before = tray().currentFrame();
    frame_->handleMessage(WM_CVX_TRAYANIMATE, 0, 0);
    EXPECT_EQ(tray().currentFrame(), (before + 1) % 4);
    services_.open = false;
    frame_->refreshCommands();
    EXPECT_EQ(tray().tip(), "Corvex In: None, Out: None");
    EXPECT_EQ(menuTexts()[1], "&Attach MIDI");
    frame_->runCommand(cmd::kAlwaysInTray);
    EXPECT_FALSE(tray().isShown());
}

} // namespace
} // namespace corvex
