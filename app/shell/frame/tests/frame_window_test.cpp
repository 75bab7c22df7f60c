#include "command_ids.h"
#include "fake_frame_services.h"
#include "frame_prompts.h"
#include "frame_status_bar.h"
#include "frame_window.h"
#include "menu_resource.h"
#include "string_table.h"
#include "support/qt_test_environment.h"
#include "window_messages.h"

#include "cvx_records.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace corvex {
namespace {

using testing::FakeFrameServices;

[[maybe_unused]] auto* const kQt = testing::addQtTestEnvironment();

// Prompts that answer at once and remember what they were asked.
struct FakePrompts : FramePrompts {
    std::vector<QString>* warnings;
    std::vector<QUrl>* opened;
    QString fileToChoose;
    bool accept = true;
    GeneralOptions editedOptions;
    FolderSettings editedFolders;
    bool browserWorks = true;
    int abouts = 0;

    FakePrompts(std::vector<QString>* w, std::vector<QUrl>* o) : warnings(w), opened(o) {}
    void warn(QWidget*, const QString& text) override { warnings->push_back(text); }
    void fileError(QWidget*, const QString& text) override { warnings->push_back(text); }
    QString openFileName(QWidget*, const QString&, const QString&) override { return fileToChoose; }
    QString saveFileName(QWidget*, const QString&, const QString&) override { return fileToChoose; }
    bool editGeneralOptions(QWidget*, GeneralOptions& options) override {
        if (accept) {
            options = editedOptions;
        }
        return accept;
    }
    bool editFolders(QWidget*, FolderSettings& folders) override {
        if (accept) {
            folders = editedFolders;
        }
        return accept;
    }
    void showAbout(QWidget*) override { ++abouts; }
    bool customizeToolBar(QWidget*, ToolBarLayout&) override { return false; }
    bool openUrl(const QUrl& url) override {
        opened->push_back(url);
        return browserWorks;
    }
};

std::vector<int> menuCommands(std::span<const MenuItem> items) {
    std::vector<int> out;
    for (const MenuItem& item : items) {
        if (item.kind == MenuItem::Kind::Command) {
            out.push_back(item.id);
        } else if (item.kind == MenuItem::Kind::Popup) {
            const auto inner = menuCommands(item.items);
            out.insert(out.end(), inner.begin(), inner.end());
        }
    }
    return out;
}

class FrameWindowTest : public ::testing::Test {
protected:
    void SetUp() override { makeFrame(); }

    void makeFrame() {
        frame_.reset();
        frame_ = std::make_unique<FrameWindow>(services_);
        auto prompts = std::make_unique<FakePrompts>(&warnings_, &opened_);
        prompts_ = prompts.get();
        frame_->setPrompts(std::move(prompts));
        frame_->setTrayAvailable(true); // as on a desktop with a tray
        frame_->addView(ViewKind::MainMonitor, new QLabel("main"));
        frame_->resize(800, 600);
        frame_->show();
    }

    QMdiSubWindow* addInputMonitorFactory() {
        frame_->setViewFactory(ViewKind::InputMonitor, [] { return new QLabel("input"); });
        frame_->runCommand(cmd::kInputMonitor);
        return frame_->viewWindow(ViewKind::InputMonitor);
    }

    bool enabled(int id) const { return frame_->action(id)->isEnabled(); }

    FakeFrameServices services_;
    std::vector<QString> warnings_;
    std::vector<QUrl> opened_;
    FakePrompts* prompts_ = nullptr;
    std::unique_ptr<FrameWindow> frame_;
};

TEST_F(FrameWindowTest, EveryMenuCommandHasAnActionWithItsIdAndStatusHelp) {
    for (int id : menuCommands(mainMenu())) {
        QAction* action = frame_->action(id);
        ASSERT_NE(action, nullptr) << id;
        EXPECT_EQ(action->data().toInt(), id);
        EXPECT_EQ(action->statusTip().toStdString(), loadString(id)) << id;
        EXPECT_FALSE(action->statusTip().isEmpty()) << id;
        EXPECT_TRUE(frame_->commands().contains(id)) << id;
    }
    ASSERT_NE(frame_->action(cmd::kContextHelp), nullptr);
    EXPECT_EQ(frame_->action(cmd::kContextHelp)->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(frame_->action(cmd::kTileVertically)->shortcut(), QKeySequence("Ctrl+F5"));
    EXPECT_EQ(frame_->action(cmd::kTileHorizontally)->shortcut(), QKeySequence("Alt+F5"));
    EXPECT_EQ(frame_->action(cmd::kCascade)->shortcut(), QKeySequence("Shift+F5"));
    EXPECT_EQ(frame_->action(cmd::kTileVertically)->text(), "Tile &Vertically");
    EXPECT_EQ(frame_->windowTitle(), "Corvex (64)");
}

TEST_F(FrameWindowTest, CommandsOfLaterFeaturesStayDisabledUntilTheProgramProvidesThem) {
    for (int id :
         {cmd::kLog, cmd::kMidiFilter, cmd::kControlPanel, cmd::kLuaScript, cmd::kMidiDevices}) {
        EXPECT_FALSE(enabled(id)) << id;
        EXPECT_FALSE(frame_->runCommand(id)) << id;
    }
    EXPECT_TRUE(services_.ranCommands.empty());
    // Views without a factory are disabled too; the frame's own commands are enabled.
    EXPECT_FALSE(enabled(cmd::kPortStatus));
    for (int id : {cmd::kPanicReset, cmd::kGeneralOptions, cmd::kFolders, cmd::kAbout,
                   cmd::kCascade, cmd::kCloseAll, cmd::kGmOn, cmd::kDeviceInfo}) {
        EXPECT_TRUE(enabled(id)) << id;
    }

    services_.provided = {cmd::kLog, cmd::kMidiFilter};
    frame_->refreshCommands();
    EXPECT_TRUE(enabled(cmd::kLog));
    frame_->action(cmd::kMidiFilter)->trigger();
    EXPECT_EQ(services_.ranCommands, std::vector<int>{cmd::kMidiFilter});
}

TEST_F(FrameWindowTest, EveryProvidedMenuCommandDispatches) {
    for (int id : menuCommands(mainMenu())) {
        services_.provided.insert(id);
    }
    frame_->setViewFactory(ViewKind::MidiStatus, [] { return new QLabel("status"); });
    frame_->setViewFactory(ViewKind::InputMonitor, [] { return new QLabel("input"); });
    frame_->setViewFactory(ViewKind::PortStatus, [] { return new QLabel("ports"); });
    frame_->setViewFactory(ViewKind::PortRouting, [] { return new QLabel("routing"); });
    frame_->runCommand(cmd::kMidiStatus); // enables the snapshot items
    frame_->setCloseHandler([] { return false; });
    for (int id : menuCommands(mainMenu())) {
        EXPECT_TRUE(frame_->action(id)->isEnabled()) << id;
        EXPECT_TRUE(frame_->runCommand(id)) << id;
    }
    // Every command the frame does not run itself reached the program.
    for (int id : {cmd::kLog, cmd::kSendSnapshot, cmd::kControlPanel, cmd::kLuaScript, cmd::kColors,
                   cmd::kFileAssociations, cmd::kStopWScript}) {
        EXPECT_NE(std::find(services_.ranCommands.begin(), services_.ranCommands.end(), id),
                  services_.ranCommands.end())
            << id;
    }
    EXPECT_EQ(prompts_->abouts, 1);
    EXPECT_TRUE(frame_->isVisible()); // Exit asked, the close handler refused
}

// The counts follow the ports; each cell shows its state and a click sends its command, a
// double click once.
TEST_F(FrameWindowTest, StatusBarCountsPortsAndItsCellsToggleTheirCommands) {
    FrameStatusBar* bar = frame_->frameStatusBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->outputText(), "2 Output Devices");
    EXPECT_EQ(bar->inputText(), "1 Input Device");
    services_.open = false;
    frame_->refreshCommands();
    EXPECT_EQ(bar->outputText(), "No Output Device"); // released: none, whatever the count
    EXPECT_EQ(bar->inputText(), "No Input Device");
    services_.open = true;
    frame_->refreshCommands();

    const auto click = [&](int cell) { QTest::mouseClick(bar->cell(cell), Qt::LeftButton); };
    EXPECT_TRUE(bar->cell(0)->isOn()); // REC: the display runs
    click(0);
    EXPECT_FALSE(frame_->frameState().displayRunning);
    EXPECT_FALSE(bar->cell(0)->isOn());
    click(0);
    EXPECT_TRUE(frame_->frameState().displayRunning);

    const bool passing = frame_->frameState().passSysEx;
    QTest::mouseClick(bar->cell(1), Qt::LeftButton);
    QTest::mouseDClick(bar->cell(1), Qt::LeftButton);
    QTest::mouseRelease(bar->cell(1), Qt::LeftButton);
    EXPECT_EQ(frame_->frameState().passSysEx, !passing); // SYX: a double click toggles once
    EXPECT_EQ(bar->cell(1)->isOn(), !passing);

    services_.provided = {cmd::kGlobalDataMap, cmd::kToggleLogging};
    frame_->refreshCommands();
    click(2);
    click(4);
    EXPECT_NE(
        std::find(services_.ranCommands.begin(), services_.ranCommands.end(), cmd::kGlobalDataMap),
        services_.ranCommands.end());
    EXPECT_NE(
        std::find(services_.ranCommands.begin(), services_.ranCommands.end(), cmd::kToggleLogging),
        services_.ranCommands.end());
    frame_->setCommandChecked(cmd::kDataMapping, true); // the program's global map is on
    EXPECT_TRUE(bar->cell(2)->isOn());
    frame_->setStatusColours(QColor(1, 2, 3), QColor(4, 5, 6));
    EXPECT_EQ(bar->cell(2)->palette().color(QPalette::Window), QColor(1, 2, 3));
    EXPECT_EQ(bar->cell(2)->palette().color(QPalette::WindowText), QColor(4, 5, 6));
}

TEST_F(FrameWindowTest, ToolWindowItemIsGreyWhileOpenAndBackWhenItCloses) {
    services_.provided = {cmd::kControlPanel};
    frame_->refreshCommands();
    frame_->runCommand(cmd::kControlPanel);
    EXPECT_FALSE(enabled(cmd::kControlPanel));
    frame_->runCommand(cmd::kControlPanel); // a second open does nothing
    EXPECT_EQ(services_.ranCommands, std::vector<int>{cmd::kControlPanel});

    frame_->handleMessage(WM_CVX_CHILDCLOSED, 0, cmd::kControlPanel);
    EXPECT_TRUE(enabled(cmd::kControlPanel));
    EXPECT_TRUE(services_.closedToolWindows.empty());

    frame_->runCommand(cmd::kControlPanel);
    frame_->handleMessage(WM_CVX_CHILDCLOSED, kChildClosedDestroy, cmd::kControlPanel);
    EXPECT_EQ(services_.closedToolWindows, std::vector<int>{cmd::kControlPanel});
    EXPECT_TRUE(enabled(cmd::kControlPanel));
}

TEST_F(FrameWindowTest, CloseAllClosesViewsAndToolWindowsAndMinimisesTheMainMonitor) {
    services_.provided = {cmd::kControlPanel, cmd::kNrpnCalculator};
    frame_->refreshCommands();
    QPointer<QMdiSubWindow> input = addInputMonitorFactory();
    ASSERT_TRUE(input);
    frame_->runCommand(cmd::kControlPanel);
    frame_->runCommand(cmd::kNrpnCalculator);

    frame_->runCommand(cmd::kCloseAll);
    QTRY_VERIFY(input.isNull());
    ASSERT_NE(frame_->viewWindow(ViewKind::MainMonitor), nullptr);
    EXPECT_TRUE(frame_->viewWindow(ViewKind::MainMonitor)->isMinimized());
    EXPECT_EQ(services_.closedToolWindows.size(), 2u);
    EXPECT_TRUE(enabled(cmd::kControlPanel));
    EXPECT_EQ(services_.closedViews, std::vector<ViewKind>{ViewKind::InputMonitor});
    EXPECT_EQ(frame_->mdiArea()->subWindowList().size(), 1);
}

TEST_F(FrameWindowTest, ViewsOpenOnceAndTheStatusViewEnablesSnapshotItems) {
    services_.provided = {cmd::kLoadSnapshot, cmd::kSaveSnapshot, cmd::kSendSnapshot,
                          cmd::kClearStatus};
    int made = 0;
    frame_->setViewFactory(ViewKind::MidiStatus, [&made] {
        ++made;
        return new QLabel("status");
    });
    EXPECT_FALSE(enabled(cmd::kLoadSnapshot));
    frame_->runCommand(cmd::kMidiStatus);
    QMdiSubWindow* status = frame_->viewWindow(ViewKind::MidiStatus);
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->windowTitle(), "MIDI Status");
    EXPECT_TRUE(enabled(cmd::kLoadSnapshot));
    EXPECT_TRUE(enabled(cmd::kClearStatus));

    status->showMinimized();
    frame_->mdiArea()->setActiveSubWindow(frame_->viewWindow(ViewKind::MainMonitor));
    frame_->runCommand(cmd::kMidiStatus);
    EXPECT_EQ(made, 1);
    EXPECT_FALSE(status->isMinimized());
    EXPECT_EQ(frame_->mdiArea()->activeSubWindow(), status);

    QPointer<QMdiSubWindow> watch = status;
    status->close();
    QTRY_VERIFY(watch.isNull());
    EXPECT_FALSE(enabled(cmd::kLoadSnapshot));
}

TEST_F(FrameWindowTest, MainMonitorAddedBeforeLayoutFillsTheArea) {
    // The fixture adds the main monitor before the frame is sized and shown.
    QMdiSubWindow* main = frame_->viewWindow(ViewKind::MainMonitor);
    ASSERT_NE(main, nullptr);
    QTRY_COMPARE(main->geometry(), frame_->mdiArea()->viewport()->rect());
}

TEST_F(FrameWindowTest, InputMonitorStartsInsetFromTheClientArea) {
    QMdiSubWindow* input = addInputMonitorFactory();
    ASSERT_NE(input, nullptr);
    const QRect area = frame_->mdiArea()->viewport()->rect();
    EXPECT_EQ(input->geometry(), QRect(22, 22, area.width() - 22, area.height() - 22));
    EXPECT_EQ(input->windowTitle(), "Monitor - Input");
}

TEST_F(FrameWindowTest, ClearAndClipboardGoToTheActiveMonitor) {
    frame_->runCommand(cmd::kClearMonitor);
    QMdiSubWindow* input = addInputMonitorFactory();
    frame_->mdiArea()->setActiveSubWindow(input);
    frame_->runCommand(cmd::kClearMonitor);
    frame_->runCommand(cmd::kCopyAll);
    frame_->mdiArea()->setActiveSubWindow(frame_->viewWindow(ViewKind::MainMonitor));
    frame_->runCommand(cmd::kMarkWindow);
    frame_->runCommand(cmd::kClearMainMonitor);
    frame_->runCommand(cmd::kClearInput);
    using V = std::tuple<ViewKind, int, intptr_t>;
    EXPECT_EQ(services_.viewCommands,
              (std::vector<V>{{ViewKind::MainMonitor, cmd::kClearMonitor, 0},
                              {ViewKind::InputMonitor, cmd::kClearMonitor, 0},
                              {ViewKind::InputMonitor, cmd::kCopyAll, 0},
                              {ViewKind::MainMonitor, cmd::kMarkWindow, 0},
                              {ViewKind::MainMonitor, cmd::kClearMonitor, 0},
                              {ViewKind::InputMonitor, cmd::kClearMonitor, 0}}));
}

TEST_F(FrameWindowTest, HexDisplayAndMonitoringTogglesCheckAndRenameTheirItems) {
    FrameState state;
    state.inputHex = true;
    state.outputHex = false;
    frame_->setFrameState(state);
    EXPECT_FALSE(frame_->action(cmd::kMonitorOutputHex)->isChecked());
    frame_->runCommand(cmd::kMonitorOutputHex);
    EXPECT_TRUE(frame_->action(cmd::kMonitorOutputHex)->isChecked());
    frame_->runCommand(cmd::kMonitorInputHex); // no input monitor: state only
    EXPECT_FALSE(frame_->action(cmd::kMonitorInputHex)->isChecked());
    using H = std::pair<ViewKind, bool>;
    EXPECT_EQ(services_.hexChanges,
              (std::vector<H>{{ViewKind::MainMonitor, true}, {ViewKind::InputMonitor, false}}));
    using V = std::tuple<ViewKind, int, intptr_t>;
    EXPECT_EQ(services_.viewCommands,
              (std::vector<V>{{ViewKind::MainMonitor, cmd::kViewHexDisplay, 1}}));

    frame_->runCommand(cmd::kStopDisplay);
    EXPECT_EQ(frame_->action(cmd::kStopDisplay)->text(), "&Start Display");
    frame_->runCommand(cmd::kStopDisplay);
    EXPECT_EQ(frame_->action(cmd::kStopDisplay)->text(), "&Stop Display");
    EXPECT_EQ(services_.displayed, (std::vector<bool>{false, true}));
}

TEST_F(FrameWindowTest, PassSysExFollowsTheAllocationAndGatesTheSysExView) {
    services_.provided = {cmd::kSysExView};
    FrameState state;
    state.passSysEx = false;
    frame_->setFrameState(state);
    EXPECT_FALSE(enabled(cmd::kSysExView));
    frame_->runCommand(cmd::kPassSysEx);
    EXPECT_TRUE(frame_->action(cmd::kPassSysEx)->isChecked());
    EXPECT_TRUE(enabled(cmd::kSysExView));
    frame_->runCommand(cmd::kPassSysEx);
    EXPECT_FALSE(frame_->action(cmd::kPassSysEx)->isChecked());
    services_.passSysExAllocates = false; // not enough buffers: stays off
    frame_->runCommand(cmd::kPassSysEx);
    EXPECT_FALSE(frame_->frameState().passSysEx);
    EXPECT_EQ(services_.passSysExCalls, (std::vector<bool>{true, false, true}));
}

TEST_F(FrameWindowTest, GmGsXgOnNeedPassSysExAndAnOutput) {
    FrameState state;
    state.passSysEx = false;
    frame_->setFrameState(state);
    frame_->runCommand(cmd::kGmOn);
    ASSERT_EQ(warnings_.size(), 1u);
    EXPECT_EQ(warnings_[0].toStdString(), loadString(str::kNoSysExOutput));

    state.passSysEx = true;
    frame_->setFrameState(state);
    services_.outputs = 0;
    frame_->runCommand(cmd::kXgOn);
    EXPECT_EQ(warnings_.size(), 2u);
    EXPECT_TRUE(services_.sysex.empty());

    services_.outputs = 1;
    frame_->runCommand(cmd::kGsOn);
    frame_->runCommand(cmd::kGmOn);
    ASSERT_EQ(services_.sysex.size(), 2u);
    EXPECT_EQ(services_.sysex[0].size(), 11u);
    EXPECT_EQ(services_.sysex[1], (std::vector<uint8_t>{0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}));
}

TEST_F(FrameWindowTest, PanicIsPacedOnATimerWithoutBlockingTheWindow) {
    services_.panic.minDelay = 3;
    services_.panic.volume = -1;
    services_.options.panicNoteOffs = false;
    QSignalSpy finished(frame_.get(), &FrameWindow::panicFinished);
    frame_->runCommand(cmd::kPanicReset);
    // Control came back after the first message; the rest follow on the timer.
    EXPECT_TRUE(frame_->panicRunning());
    EXPECT_LT(services_.shortMessages.size(), 16u * 6u);
    frame_->runCommand(cmd::kPanicReset); // ignored while running
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_FALSE(frame_->panicRunning());
    EXPECT_EQ(services_.shortMessages.size(), 16u * 6u);
    EXPECT_TRUE(
        std::none_of(services_.shortMessages.begin(), services_.shortMessages.end(),
                     [](const ShortMessage& m) { return m.status == 0xB0 && m.data1 == 7; }));
    EXPECT_EQ(services_.shortMessages.front(), (ShortMessage{0xB0, 0, 123, 0}));
}

TEST_F(FrameWindowTest, PanicWithoutDelaySendsEverythingAtOnceAndNeedsAClient) {
    services_.panic.minDelay = 0;
    services_.options.panicNoteOffs = true;
    services_.client = 0;
    frame_->runCommand(cmd::kPanicReset);
    EXPECT_TRUE(services_.shortMessages.empty());
    EXPECT_FALSE(frame_->panicRunning());

    services_.client = 7;
    QSignalSpy finished(frame_.get(), &FrameWindow::panicFinished);
    frame_->runCommand(cmd::kPanicReset);
    EXPECT_EQ(services_.shortMessages.size(), 16u * (7u + 128u));
    EXPECT_EQ(finished.count(), 1);
}

TEST_F(FrameWindowTest, DeviceChangesWithin350msCauseOneCheck) {
    QSignalSpy changed(frame_.get(), &FrameWindow::portsChanged);
    frame_->deviceChanged();
    QTest::qWait(100);
    frame_->deviceChanged(); // restarts the timer
    EXPECT_TRUE(frame_->deviceCheckPending());
    QTRY_COMPARE_WITH_TIMEOUT(services_.deviceChecks, 1, 5000);
    QTest::qWait(400);
    EXPECT_EQ(services_.deviceChecks, 1);
    EXPECT_EQ(changed.count(), 1);

    services_.deviceListChanged = false;
    frame_->deviceChanged();
    QTRY_COMPARE_WITH_TIMEOUT(services_.deviceChecks, 2, 5000);
    EXPECT_EQ(changed.count(), 1);
}

TEST_F(FrameWindowTest, KeyboardNeedsAnOutputFlashesOnTimer2AndCloseSwitchesItOff) {
    services_.provided = {cmd::kKeyboard};
    frame_->refreshCommands();
    services_.outputs = 0;
    frame_->runCommand(cmd::kKeyboard);
    ASSERT_EQ(warnings_.size(), 1u);
    EXPECT_EQ(warnings_[0], "No output port open!");

    services_.outputs = 1;
    frame_->runCommand(cmd::kKeyboard);
    EXPECT_TRUE(frame_->action(cmd::kKeyboard)->isChecked());
    EXPECT_TRUE(frame_->keyboardLightTimerActive());
    QTRY_VERIFY_WITH_TIMEOUT(!frame_->action(cmd::kKeyboard)->icon().isNull(), 5000);

    frame_->runCommand(cmd::kClose); // closing a window switches the keyboard off
    EXPECT_FALSE(frame_->action(cmd::kKeyboard)->isChecked());
    EXPECT_FALSE(frame_->keyboardLightTimerActive());
    EXPECT_EQ(services_.keyboardCalls, (std::vector<bool>{true, false}));
    EXPECT_NE(frame_->viewWindow(ViewKind::MainMonitor), nullptr); // Close spared it

    services_.keyboardSwitches = false;
    frame_->runCommand(cmd::kKeyboard);
    EXPECT_EQ(warnings_.back(), "SetWindowsHookEx WH_KEYBOARD failed!");
    EXPECT_FALSE(frame_->frameState().keyboardActive);
}

TEST_F(FrameWindowTest, MessagesToTheFrame) {
    EXPECT_EQ(frame_->handleMessage(WM_CVX_PING, 0, 0), 1);
    EXPECT_EQ(frame_->handleMessage(WM_CVX_GETCLIENT, 0, 0), 0x1234);
    EXPECT_EQ(frame_->handleMessage(WM_CVX_EVENTS, 3, 4), 7);
    EXPECT_EQ(frame_->handleMessage(WM_CVX_HANDOFF, 0, 0), 7);
    using P = std::tuple<uint32_t, uintptr_t, intptr_t>;
    EXPECT_EQ(services_.passedOn, (std::vector<P>{{WM_CVX_EVENTS, 3, 4}, {WM_CVX_HANDOFF, 0, 0}}));

    frame_->handleMessage(WM_COMMAND, cmd::kDeviceInfo, 0);
    frame_->handleMessage(WM_COMMAND, cmd::kRunningStatus, 0);
    EXPECT_EQ(services_.listings,
              (std::vector<Listing>{Listing::DeviceInfo, Listing::RunningStatus}));

    frame_->setViewFactory(ViewKind::PortRouting, [] { return new QLabel("routing"); });
    frame_->runCommand(cmd::kPortRoutings);
    services_.viewCommands.clear();
    frame_->handleMessage(WM_COMMAND, cmd::kPatchMapHandled | (1u << 16), 0);
    frame_->handleMessage(WM_COMMAND, cmd::kPatchMapHandled, 0); // code 0: nothing
    using V = std::tuple<ViewKind, int, intptr_t>;
    EXPECT_EQ(services_.viewCommands,
              (std::vector<V>{{ViewKind::PortRouting, cmd::kPatchMapHandled, 1}}));

    QLabel dialog("modeless");
    frame_->handleMessage(WM_CVX_SETDIALOG, 0, reinterpret_cast<intptr_t>(&dialog));
    EXPECT_EQ(frame_->currentDialog(), &dialog);
    frame_->handleMessage(WM_CVX_SETDIALOG, 0, 0x12345678); // no such widget: none
    EXPECT_EQ(frame_->currentDialog(), nullptr);
    frame_->handleMessage(WM_CVX_CHILDCLOSED, kChildClosedDestroy, 77); // not a tool window
    EXPECT_TRUE(services_.closedToolWindows.empty());
    EXPECT_EQ(frame_->handleMessage(0x7FFF, 0, 0), 0);
}

TEST_F(FrameWindowTest, ProfilesRememberTheFolderAndNameTheTitle) {
    const std::filesystem::path home = std::getenv("HOME");
    std::filesystem::create_directories(home / "profiles");
    std::filesystem::create_directories(home / "other");
    const std::string studio = (home / "profiles" / "studio.ini").string();
    const std::string broken = (home / "other" / "broken.ini").string();
    std::ofstream(studio) << "[Options]\n";
    std::ofstream(broken) << "[Options]\n";
    prompts_->fileToChoose = QString::fromStdString(studio);
    frame_->runCommand(cmd::kLoadProfile);
    EXPECT_EQ(services_.loadedProfiles, std::vector<std::string>{studio});
    EXPECT_EQ(services_.rememberedFolder(FileKind::Profile), (home / "profiles").string());
    EXPECT_EQ(frame_->windowTitle(), "Corvex (64) - studio.ini");

    services_.fileCallsSucceed = false;
    prompts_->fileToChoose = QString::fromStdString(broken);
    frame_->runCommand(cmd::kLoadProfile);
    EXPECT_EQ(frame_->windowTitle(), "Corvex (64) - studio.ini");

    // A file that cannot be opened is said so, with the system's reason, before loading.
    const std::string gone = (home / "profiles" / "gone.ini").string();
    prompts_->fileToChoose = QString::fromStdString(gone);
    frame_->runCommand(cmd::kLoadProfile);
    ASSERT_FALSE(warnings_.empty());
    EXPECT_EQ(warnings_.back(), QString::fromStdString("Error trying to open the file: No such "
                                                       "file or directory\n'" +
                                                       gone + "'"));
    EXPECT_EQ(services_.loadedProfiles.size(), 2u);

    prompts_->fileToChoose = "/tmp/saved/new.ini";
    frame_->runCommand(cmd::kSaveProfile);
    EXPECT_EQ(services_.savedProfiles, std::vector<std::string>{"/tmp/saved/new.ini"});
    EXPECT_EQ(services_.rememberedFolder(FileKind::Profile), "/tmp/saved");

    prompts_->fileToChoose.clear(); // cancelled
    frame_->runCommand(cmd::kSaveProfile);
    EXPECT_EQ(services_.savedProfiles.size(), 1u);
}

TEST_F(FrameWindowTest, OptionDialogsStoreWhatTheUserAccepted) {
    prompts_->editedOptions.middleCOctave = 3;
    prompts_->editedOptions.runningStatus = true;
    prompts_->editedOptions.background = BackgroundMode::Picture2;
    frame_->runCommand(cmd::kGeneralOptions);
    EXPECT_EQ(services_.options, prompts_->editedOptions);
    EXPECT_EQ(frame_->backgroundMode(), BackgroundMode::Picture2);

    prompts_->editedOptions.background = BackgroundMode::File;
    prompts_->editedOptions.backgroundPath = "/no/such/picture.png";
    frame_->runCommand(cmd::kGeneralOptions);
    EXPECT_EQ(frame_->backgroundMode(), BackgroundMode::None); // unreadable picture: none

    prompts_->editedFolders = {"/a", "/b", "/c"};
    frame_->runCommand(cmd::kFolders);
    EXPECT_EQ(services_.folderSettings, prompts_->editedFolders);

    prompts_->accept = false;
    prompts_->editedFolders = {"/x", "/y", "/z"};
    frame_->runCommand(cmd::kFolders);
    EXPECT_EQ(services_.folderSettings, (FolderSettings{"/a", "/b", "/c"}));
}

TEST_F(FrameWindowTest, HelpAndTheWebSiteCommandOpenInstalledPages) {
    frame_->runCommand(cmd::kHelpContents);
    frame_->setContextHelpTopic(0);
    frame_->runCommand(cmd::kContextHelp);
    ASSERT_EQ(opened_.size(), 2u);
    EXPECT_TRUE(opened_[0].isLocalFile());
    EXPECT_TRUE(opened_[0].toLocalFile().endsWith("help/index.html"));

    frame_->runCommand(cmd::kWebSite);
    ASSERT_EQ(opened_.size(), 3u);
    EXPECT_TRUE(opened_[2].toLocalFile().endsWith("help/web-site.html"));

    prompts_->browserWorks = false;
    frame_->runCommand(cmd::kHelpContents);
    EXPECT_FALSE(warnings_.empty()) << "a page the browser cannot open is reported";
}

TEST_F(FrameWindowTest, DropsTakeExactlyOneUsableFile) {
    const std::filesystem::path folder = std::filesystem::path(std::getenv("HOME")) / "drops";
    std::filesystem::create_directories(folder);
    const std::string map = (folder / "x.vxm").string();
    const std::string sysex = (folder / "y.syx").string();
    std::ofstream(map) << "m";
    std::ofstream(sysex) << "s";

    frame_->dropFiles({map, sysex});
    EXPECT_TRUE(frame_->refusingDrop());
    QTRY_VERIFY_WITH_TIMEOUT(!frame_->refusingDrop(), 5000); // three flashes, then done
    EXPECT_TRUE(services_.loadedMaps.empty());
    EXPECT_TRUE(services_.sysexFiles.empty());

    frame_->dropFiles({map});
    frame_->dropFiles({sysex});
    EXPECT_FALSE(frame_->refusingDrop());
    EXPECT_EQ(services_.loadedMaps, std::vector<std::string>{map});
    EXPECT_EQ(services_.sysexFiles, std::vector<std::string>{sysex});
}

TEST_F(FrameWindowTest, ClientAreaMenuFitsTheMonitorUnderTheCursor) {
    services_.provided = {cmd::kControlPanel, cmd::kNrpnCalculator};
    frame_->refreshCommands();
    frame_->runCommand(cmd::kControlPanel);
    auto itemOf = [](QMenu* menu, int id) -> QAction* {
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator() && action->data().toInt() == id) {
                return action;
            }
        }
        return nullptr;
    };

    std::unique_ptr<QMenu> overMain(
        frame_->createMonitorPopup(ViewKind::MainMonitor, false, frame_.get()));
    ASSERT_NE(itemOf(overMain.get(), cmd::kMonitorOutputHex), nullptr);
    EXPECT_EQ(itemOf(overMain.get(), cmd::kMonitorOutputHex)->text(), "Displa&y Decimal");
    ASSERT_NE(itemOf(overMain.get(), cmd::kClearMainMonitor), nullptr);
    EXPECT_TRUE(itemOf(overMain.get(), cmd::kMarkForClipboard)->isEnabled());
    EXPECT_FALSE(itemOf(overMain.get(), cmd::kCopyToClipboard)->isEnabled()); // not marking
    EXPECT_FALSE(itemOf(overMain.get(), cmd::kControlPanel)->isEnabled());    // open
    EXPECT_TRUE(itemOf(overMain.get(), cmd::kNrpnCalculator)->isEnabled());
    EXPECT_FALSE(itemOf(overMain.get(), cmd::kSysExView)->isEnabled()); // not provided

    FrameState state = frame_->frameState();
    state.inputHex = false;
    state.displayRunning = false;
    frame_->setFrameState(state);
    addInputMonitorFactory();
    std::unique_ptr<QMenu> overInput(
        frame_->createMonitorPopup(ViewKind::InputMonitor, true, frame_.get()));
    EXPECT_EQ(itemOf(overInput.get(), cmd::kMonitorInputHex)->text(), "Displa&y Hex");
    EXPECT_EQ(itemOf(overInput.get(), cmd::kClearInput)->text(), "&Clear Input");
    EXPECT_TRUE(itemOf(overInput.get(), cmd::kMarkForClipboard)->isChecked());
    EXPECT_TRUE(itemOf(overInput.get(), cmd::kCopyToClipboard)->isEnabled());
    EXPECT_EQ(itemOf(overInput.get(), cmd::kStopDisplay)->text(), "&Start Display");
    itemOf(overInput.get(), cmd::kClearInput)->trigger();
    using V = std::tuple<ViewKind, int, intptr_t>;
    EXPECT_EQ(services_.viewCommands.back(), (V{ViewKind::InputMonitor, cmd::kClearMonitor, 0}));

    std::unique_ptr<QMenu> empty(frame_->createMonitorPopup(std::nullopt, false, frame_.get()));
    for (int id : {cmd::kMarkForClipboard, cmd::kCopyToClipboard, cmd::kMarkWindow, cmd::kCopyAll,
                   cmd::kMonitorOutputHex}) {
        EXPECT_FALSE(itemOf(empty.get(), id)->isEnabled()) << id;
    }
    EXPECT_TRUE(itemOf(empty.get(), cmd::kClearMonitor)->isEnabled());
}

TEST_F(FrameWindowTest, WindowMenuListsTheChildWindowsFrom5000) {
    QMdiSubWindow* input = addInputMonitorFactory();
    QMenu* windowMenu =
        frame_->action(cmd::kCascade)->associatedObjects().isEmpty()
            ? nullptr
            : qobject_cast<QMenu*>(frame_->action(cmd::kCascade)->associatedObjects().first());
    ASSERT_NE(windowMenu, nullptr);
    for (int shown = 0; shown < 2; ++shown) { // the list is rebuilt, never doubled
        emit windowMenu->aboutToShow();
    }
    std::vector<std::pair<int, QString>> listed;
    for (QAction* action : windowMenu->actions()) {
        if (action->property("windowList").toBool() && !action->isSeparator()) {
            listed.emplace_back(action->data().toInt(), action->text());
        }
    }
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0], (std::pair<int, QString>{5000, "&1 Monitor - Output"}));
    EXPECT_EQ(listed[1], (std::pair<int, QString>{5001, "&2 Monitor - Input"}));

    frame_->mdiArea()->setActiveSubWindow(input);
    for (QAction* action : windowMenu->actions()) {
        if (action->data().toInt() == 5000) {
            action->trigger();
        }
    }
    EXPECT_EQ(frame_->mdiArea()->activeSubWindow(), frame_->viewWindow(ViewKind::MainMonitor));
}

TEST_F(FrameWindowTest, WindowArrangements) {
    QMdiSubWindow* input = addInputMonitorFactory();
    QMdiSubWindow* main = frame_->viewWindow(ViewKind::MainMonitor);
    const QRect area = frame_->mdiArea()->viewport()->rect();
    frame_->runCommand(cmd::kTileVertically);
    EXPECT_EQ(main->width() + input->width(), area.width());
    EXPECT_EQ(main->height(), area.height());
    frame_->runCommand(cmd::kTileHorizontally);
    EXPECT_EQ(main->height() + input->height(), area.height());
    EXPECT_EQ(main->width(), area.width());

    input->showMinimized();
    frame_->runCommand(cmd::kArrangeIcons);
    EXPECT_EQ(input->geometry().bottom(), area.bottom());
    EXPECT_EQ(input->x(), 0);
    frame_->runCommand(cmd::kCascade);
    EXPECT_TRUE(main->isVisible());
}

// The items a desktop's window menu would hold are in the Options menu, with their help.
TEST_F(FrameWindowTest, ReleaseMidiAndOnTopAreOptionsThatWork) {
    services_.provided = {cmd::kReleaseMidi};
    frame_->refreshCommands();
    for (int id :
         {cmd::kReleaseMidi, cmd::kAlwaysOnTop, cmd::kMinimizeInTray, cmd::kAlwaysInTray}) {
        QAction* item = frame_->action(id);
        ASSERT_NE(item, nullptr) << id;
        EXPECT_FALSE(item->statusTip().isEmpty()) << id;
        ASSERT_FALSE(item->associatedObjects().isEmpty()) << id;
        auto* menu = qobject_cast<QMenu*>(item->associatedObjects().first());
        ASSERT_NE(menu, nullptr) << id;
        EXPECT_EQ(menu->title(), "&Options") << id;
    }
    EXPECT_TRUE(enabled(cmd::kReleaseMidi));
    EXPECT_EQ(frame_->action(cmd::kReleaseMidi)->text(), "&Release MIDI");
    services_.open = false; // the program closes the ports when the command runs
    QSignalSpy ports(frame_.get(), &FrameWindow::portsChanged);
    frame_->action(cmd::kReleaseMidi)->trigger();
    EXPECT_EQ(services_.ranCommands, std::vector<int>{cmd::kReleaseMidi});
    EXPECT_EQ(frame_->action(cmd::kReleaseMidi)->text(), "&Open MIDI");
    EXPECT_EQ(ports.count(), 1);

    EXPECT_TRUE(enabled(cmd::kAlwaysOnTop));
    for (bool on : {true, false}) {
        frame_->action(cmd::kAlwaysOnTop)->trigger();
        EXPECT_EQ(frame_->action(cmd::kAlwaysOnTop)->isChecked(), on);
        EXPECT_EQ(frame_->frameState().onTop, on);
        EXPECT_EQ(frame_->windowFlags().testFlag(Qt::WindowStaysOnTopHint), on);
        EXPECT_TRUE(frame_->isVisible());
    }
    FrameState saved;
    saved.onTop = true;
    frame_->setFrameState(saved);
    EXPECT_TRUE(frame_->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

} // namespace
} // namespace corvex
