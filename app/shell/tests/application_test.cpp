// The application brought up in this process on the loopback cables, offscreen.
#include "shell/application.h"

#include "mapping/map_settings.h"
#include "mapping/profile_map.h"
#include "shell/instance_channel.h"
#include "views/colour_dialog.h"
#include "views/monitor_window.h"

#include "command_ids.h"
#include "cvxlib.h"
#include "frame_prompts.h"
#include "frame_window.h"
#include "mapping/binary_map_file.h"
#include "mapping/data_map.h"
#include "midi.h"
#include "profile_file.h"
#include "settings/settings_store.h"
#include "settings_profile.h"
#include "support/isolated_home.h"
#include "sysex_buffers_dialog.h"
#include "vmidi.h"
#include "window_messages.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QDeadlineTimer>
#include <QFontDatabase>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <future>
#include <set>

namespace corvex {
namespace {

constexpr unsigned kLoopback1 = 0;
constexpr unsigned kLoopback2 = 1;

class ApplicationTest : public ::testing::Test {
protected:
    // One application object per test, destroyed with it, so that Qt's caches go too.
    // Each test starts from fresh settings: what one test stores (custom port names, a
    // selection) must not decide what the next one opens.
    void SetUp() override {
        std::filesystem::remove(cvx::testing::isolatedHome() + "/.config/Corvex/corvex.reg");
        qt_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override { qt_.reset(); }

    // Stores a selection for instance 1: Loopback 1 in, Loopback 2 out (by the name it is
    // shown with), routed.
    static void storeSelection(const std::string& outputName = "Corvex Loopback 2") {
        SettingsStore store;
        SettingsProfile record = SettingsProfile::defaults();
        record.devices.inputs = {"Corvex Loopback 1"};
        record.devices.outputs = {outputName};
        record.devices.outputMaps = {defaultOutputMap(1, 1)};
        record.display.windowLayout = 0x0012; // input monitor under the main monitor
        ASSERT_TRUE(record.save(store, 1));
    }

    std::unique_ptr<Application> startApplication(CommandLine line = {}) {
        const std::string folder = instanceLockFolder();
        std::optional<InstanceSlot> slot = claimInstanceSlot(folder);
        EXPECT_TRUE(slot);
        auto application = std::make_unique<Application>(std::move(line), std::move(*slot),
                                                         QString::fromStdString(folder));
        EXPECT_TRUE(application->start());
        return application;
    }

    int argc_ = 1;
    char name_[17] = "application_test";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> qt_;

    // The warnings on screen that contain `text`.
    static int warningsWith(const QString& text) {
        QCoreApplication::processEvents();
        int count = 0;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box && box->isVisible() && box->text().contains(text)) {
                ++count;
                box->close();
            }
        }
        return count;
    }

    // Everything sent to `output` within the time-out, once `expected` bytes have come.
    static std::vector<uint8_t> takeFrom(unsigned output, size_t expected) {
        std::vector<uint8_t> bytes;
        const QDeadlineTimer deadline(10000);
        while (bytes.size() < expected && !deadline.hasExpired()) {
            vmidiSettle();
            unsigned char buffer[256];
            const unsigned got = vmidiTake(output, buffer, sizeof buffer);
            bytes.insert(bytes.end(), buffer, buffer + got);
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        return bytes;
    }

    // The global map of writeChannelMap() is in force: a Note On on Loopback 1 leaves on
    // channel 2.
    static void expectChannelTwoMap(Application& application) {
        EXPECT_EQ(application.midi().map().itemCount, 1);
        const unsigned char noteOn[] = {0x90, 0x3C, 0x64};
        ASSERT_EQ(vmidiFeed(kLoopback1, noteOn, sizeof noteOn), 1);
        EXPECT_EQ(takeFrom(kLoopback2, 3), (std::vector<uint8_t>{0x91, 0x3C, 0x64}));
    }

    static MonitorWindow* monitorOf(const Application& application, ViewKind kind) {
        QMdiSubWindow* window = application.frame()->viewWindow(kind);
        return window != nullptr ? qobject_cast<MonitorWindow*>(window->widget()) : nullptr;
    }

    // The first line of `monitor` that holds `text`, within the time-out; empty for none.
    static std::string waitForLine(const MonitorWindow& monitor, const std::string& text) {
        const QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired()) {
            for (size_t i = 0; i < monitor.model().lineCount(); ++i) {
                if (std::string line = monitor.model().lineText(i); line.find(text) != npos) {
                    return line;
                }
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        return {};
    }
    static constexpr size_t npos = std::string::npos;
};

TEST_F(ApplicationTest, StartsWithTheStoredSelectionOpenAndRouted) {
    // The selection names the output by the custom name the user gave it.
    ASSERT_TRUE(SettingsStore().writeString("Custom Out Names", "Corvex Loopback 2", "Synth"));
    storeSelection("Synth");
    std::unique_ptr<Application> application = startApplication();
    EXPECT_EQ(application->midi().output(kLoopback2).displayName(), "Synth");
    ASSERT_NE(application->client(), 0u);
    EXPECT_EQ(IsInDevOpen(application->client(), kLoopback1), 1);
    EXPECT_EQ(IsOutDevOpen(application->client(), kLoopback2), 1);
    ASSERT_NE(application->frame(), nullptr);
    EXPECT_TRUE(application->frame()->isVisible());
    EXPECT_NE(application->frame()->viewWindow(ViewKind::MainMonitor), nullptr);
    EXPECT_NE(application->frame()->viewWindow(ViewKind::InputMonitor), nullptr);

    const unsigned char noteOn[] = {0x90, 0x3C, 0x64};
    ASSERT_EQ(vmidiFeed(kLoopback1, noteOn, sizeof noteOn), 1);
    EXPECT_EQ(takeFrom(kLoopback2, 3), (std::vector<uint8_t>{0x90, 0x3C, 0x64}));
    application->finish();
}

TEST_F(ApplicationTest, ExitSavesTheLayoutAndSelectionAndReleasesTheInstance) {
    storeSelection();
    std::unique_ptr<Application> application = startApplication();
    const uint64_t client = application->client();
    application->frame()->viewWindow(ViewKind::MainMonitor)->setGeometry(5, 6, 300, 200);
    application->frame()->mdiArea()->setActiveSubWindow(
        application->frame()->viewWindow(ViewKind::MainMonitor));
    application->requestExit();
    EXPECT_FALSE(application->frame()->isVisible());
    application->finish();
    EXPECT_EQ(IsInDevOpen(client, kLoopback1), 0);

    SettingsStore store;
    const SettingsProfile saved = SettingsProfile::load(store, 1);
    EXPECT_EQ(saved.devices.inputs, std::vector<std::string>{"Corvex Loopback 1"});
    EXPECT_EQ(saved.devices.outputs, std::vector<std::string>{"Corvex Loopback 2"});
    EXPECT_EQ(saved.display.windowLayout & 0xF, 2u);
    EXPECT_EQ(saved.display.mdiPos[0].normal.left, 5);
    EXPECT_EQ(saved.display.mdiPos[0].normal.right, 305);
    EXPECT_EQ(store.readQword("Instance Data", "hWnd 00"), 0u);
    EXPECT_TRUE(heldInstanceSlots(instanceLockFolder()).empty());
}

TEST_F(ApplicationTest, ASecondInstanceGetsItsOwnSlotAndProfile) {
    SettingsStore store;
    ASSERT_TRUE(store.writeQword("Instance Data", "hWnd 05", 4242)); // a crashed instance's
    std::unique_ptr<Application> first = startApplication();
    EXPECT_EQ(store.readQword("Instance Data", "hWnd 05"), 0u);
    std::unique_ptr<Application> second = startApplication();
    EXPECT_EQ(first->instanceNumber(), 1);
    EXPECT_EQ(second->instanceNumber(), 2);
    EXPECT_EQ(second->runningCount(), 2);
    EXPECT_NE(first->client(), second->client());
    second->requestExit();
    second->finish();
    first->requestExit();
    first->finish();
    EXPECT_FALSE(store.subkeys("Profile 2").empty());
}

// A map file whose one item turns every Note On into channel 2, switched on.
std::string writeChannelMap() {
    MapItem item{};
    item.sourceChannel = 0xFF;
    item.sourceMessage = MAP_NOTE_ON;
    item.sourceV1Min = 0;
    item.sourceV1Max = 127;
    item.sourceV2Min = 0;
    item.sourceV2Max = 127;
    item.targetChannel = 1;
    item.targetMessage = MAP_NOTE_ON;
    item.targetV1Min = item.targetV2Min = 0xFFFF;
    item.targetV1Max = item.targetV2Max = 0xFFFF;
    DataMap map;
    map.isOn = 1;
    const MapRow row{item, {}};
    map.load(std::span<const MapRow>(&row, 1), false);
    const std::string path = cvx::testing::isolatedHome() + "/channel two.vxm";
    EXPECT_TRUE(writeBinaryMap(map, path).ok);
    return path;
}

TEST_F(ApplicationTest, AMapOnTheCommandLineIsTheGlobalMapFromTheStart) {
    storeSelection();
    SettingsStore store;
    SettingsProfile record = SettingsProfile::load(store, 1);
    DataMap switchedOn; // no items, only the stored switch
    switchedOn.isOn = 1;
    ASSERT_TRUE(writeMapSettings(switchedOn, record.dataMap, 1).ok);
    ASSERT_TRUE(record.save(store, 1));
    CommandLine line;
    line.result = 4;
    line.mapPath = writeChannelMap();
    line.mapVerb = FileVerb::Open;
    std::unique_ptr<Application> application = startApplication(line);
    expectChannelTwoMap(*application);

    // At exit the map is kept with the settings and comes back at the next start.
    application->requestExit();
    application->finish();
    std::unique_ptr<Application> again = startApplication();
    EXPECT_EQ(again->midi().map().itemCount, 1);
    EXPECT_EQ(again->midi().map().mapIsOn, 1);
    again->finish();
}

TEST_F(ApplicationTest, AProfileOnTheCommandLineBringsItsPortsAndRouting) {
    SettingsProfile exported = SettingsProfile::defaults();
    exported.devices.inputs = {"Corvex Loopback 3"};
    exported.devices.outputs = {"Corvex Loopback 4"};
    exported.devices.outputMaps = {defaultOutputMap(1, 1)};
    const std::string path = cvx::testing::isolatedHome() + "/studio.ini";
    ASSERT_TRUE(exportProfile(path, exported));

    CommandLine line;
    line.result = 3;
    line.profilePath = path;
    std::unique_ptr<Application> application = startApplication(line);
    EXPECT_EQ(application->settings().profilePath, path);
    const unsigned char noteOn[] = {0x92, 0x40, 0x7F};
    ASSERT_EQ(vmidiFeed(2, noteOn, sizeof noteOn), 1);
    EXPECT_EQ(takeFrom(3, 3), (std::vector<uint8_t>{0x92, 0x40, 0x7F}));
    application->finish();
}

TEST_F(ApplicationTest, AHandedOverMapReplacesTheGlobalMap) {
    std::unique_ptr<Application> application = startApplication();
    std::vector<HandOff> received;
    QObject::connect(application.get(), &Application::handOffReceived,
                     [&](const HandOff& handOff) { received.push_back(handOff); });
    const HandOff handOff{FileVerb::Open, writeChannelMap(), FileVerb::None, ""};
    const HandOffBytes block = *encodeHandOff(handOff);
    const QString folder = QString::fromStdString(instanceLockFolder());
    auto reply = std::async(std::launch::async, [&] {
        return sendInstanceMessage(folder, 0, WM_CVX_HANDOFF, &block, 5000);
    });
    const QDeadlineTimer deadline(10000);
    while (received.empty() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    EXPECT_EQ(reply.get(), 0);
    EXPECT_EQ(received, std::vector<HandOff>{handOff});
    EXPECT_EQ(application->midi().map().itemCount, 1);
    application->finish();
}

// What a monitor changes itself (the font its font dialog chose, the number style from its
// own context menu) reaches the other monitor, the frame's check marks and the settings
// record, and is what the store holds after exit: the record writes it, once.
TEST_F(ApplicationTest, WhatAMonitorChangesItselfIsKeptAtExit) {
    storeSelection(); // the layout opens the input monitor too
    std::unique_ptr<Application> application = startApplication();
    MonitorWindow* main = monitorOf(*application, ViewKind::MainMonitor);
    MonitorWindow* input = monitorOf(*application, ViewKind::InputMonitor);
    ASSERT_NE(main, nullptr);
    ASSERT_NE(input, nullptr);
    const QString face = QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    const MonitorFont chosen{face.toStdString(), 14, true, false};
    ASSERT_TRUE(main->setMonitorFont(chosen));
    emit main->fontChosen(chosen);
    EXPECT_EQ(input->textFont().pointSize(), 14);
    EXPECT_TRUE(input->textFont().bold());

    struct Case {
        MonitorWindow* monitor;
        int command;
        bool FrameState::*hex;
    };
    for (const Case& c : {Case{input, cmd::kMonitorInputHex, &FrameState::inputHex},
                          Case{main, cmd::kMonitorOutputHex, &FrameState::outputHex}}) {
        c.monitor->setHex(false); // what the context menu does
        emit c.monitor->hexChanged(false);
        EXPECT_FALSE(application->frame()->frameState().*c.hex) << c.command;
        EXPECT_FALSE(application->frame()->action(c.command)->isChecked()) << c.command;
        application->frame()->runCommand(c.command); // the menu item switches it back on
        EXPECT_TRUE(c.monitor->hex()) << c.command;
        c.monitor->setHex(false);
        emit c.monitor->hexChanged(false);
    }
    application->requestExit();
    application->finish();

    SettingsStore store;
    const SettingsProfile saved = SettingsProfile::load(store, 1);
    EXPECT_EQ(saved.monitorFont.faceName, face.toStdString());
    EXPECT_EQ(saved.monitorFont.size, 14);
    EXPECT_TRUE(saved.monitorFont.bold);
    EXPECT_FALSE(saved.display.monitorInputHex);
    EXPECT_FALSE(saved.display.monitorOutputHex);
}

// A data map that turns every Note On into channel 2, switched on.
DataMap channelTwoMap() {
    DataMap map;
    EXPECT_TRUE(readBinaryMap(map, writeChannelMap(), false, false).ok);
    map.isOn = 1; // the switch is kept with the settings, not in the file
    return map;
}

// Loading a profile re-applies all it holds to the running program: the frame's toggles
// (which gate the GM/GS/XG resets), the monitors and the global data map; and what it brought
// is what is saved at exit and comes back at the next start.
TEST_F(ApplicationTest, ALoadedProfileIsAppliedToTheFrameAndKeptAtExit) {
    storeSelection();
    std::unique_ptr<Application> application = startApplication();
    ASSERT_TRUE(application->frame()->frameState().passSysEx);
    SettingsStore current;
    SettingsProfile exported = SettingsProfile::load(current, 1); // the same ports
    exported.display.monitorOutputHex = false;
    exported.options.displayEvents = false;
    exported.options.passSysex = false;
    const DataMap map = channelTwoMap();
    const std::string path = cvx::testing::isolatedHome() + "/with map.ini";
    ProfileSectionHandler mapSection;
    mapSection.exportTo = [&map](cvx::profile::ProfileDocument& document) {
        writeProfileMap(map, document, kProfileMapSection);
    };
    ASSERT_TRUE(exportProfile(path, exported, {mapSection}));

    application->frame()->dropFiles({path});
    const FrameState& state = application->frame()->frameState();
    EXPECT_FALSE(state.outputHex);
    EXPECT_FALSE(state.displayRunning);
    EXPECT_FALSE(state.passSysEx);
    EXPECT_FALSE(application->frame()->action(cmd::kPassSysEx)->isChecked());
    EXPECT_FALSE(monitorOf(*application, ViewKind::MainMonitor)->hex());
    expectChannelTwoMap(*application);
    application->requestExit();
    application->finish();

    SettingsStore store;
    const SettingsProfile saved = SettingsProfile::load(store, 1);
    EXPECT_FALSE(saved.display.monitorOutputHex);
    EXPECT_FALSE(saved.options.displayEvents);
    EXPECT_FALSE(saved.options.passSysex);
    std::unique_ptr<Application> again = startApplication();
    EXPECT_EQ(again->midi().map().itemCount, 1);
    again->finish();
}

// "Display Port Name abbrv.": the monitors label the IN and PORT columns with the first
// three characters of the ports' names, the custom name where the user gave one.
TEST_F(ApplicationTest, AbbreviatedPortNamesLabelTheMonitorColumns) {
    ASSERT_TRUE(SettingsStore().writeString("Custom Out Names", "Corvex Loopback 2", "Synth"));
    storeSelection("Synth");
    SettingsStore store;
    SettingsProfile record = SettingsProfile::load(store, 1);
    record.display.displayPortNames = true;
    ASSERT_TRUE(record.save(store, 1));
    std::unique_ptr<Application> application = startApplication();
    const unsigned char noteOn[] = {0x90, 0x3C, 0x64};
    ASSERT_EQ(vmidiFeed(kLoopback1, noteOn, sizeof noteOn), 1);
    const std::string line = waitForLine(*monitorOf(*application, ViewKind::MainMonitor), "Note");
    EXPECT_NE(line.find(" Cor "), npos) << line;
    EXPECT_NE(line.find(" Syn "), npos) << line;
    application->finish();
}

// The frame opens where it was, on a screen, or at a size that suits the screen.
TEST_F(ApplicationTest, TheFrameOpensWhereItClosedAndAlwaysOnAScreen) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    {
        std::unique_ptr<Application> first = startApplication(); // nothing stored
        const QRect opened = first->frame()->geometry();
        EXPECT_NEAR(opened.width(), screen.width() * 2 / 3, 1);
        EXPECT_NEAR(opened.height(), screen.height() * 2 / 3, 1);
        EXPECT_NEAR(opened.center().x(), screen.center().x(), 1);
        EXPECT_NEAR(opened.center().y(), screen.center().y(), 1);
        first->frame()->setGeometry(40, 60, 500, 350);
        first->requestExit();
        first->finish();
    }
    for (int run = 0; run < 3; ++run) { // no creeping from one run to the next
        std::unique_ptr<Application> again = startApplication();
        EXPECT_EQ(again->frame()->geometry(), QRect(40, 60, 500, 350)) << run;
        again->requestExit();
        again->finish();
    }
    SettingsStore store;
    SettingsProfile record = SettingsProfile::load(store, 1);
    record.display.windowPos = normalPlacement({-9000, -9000, -8600, -8700}); // screen gone
    ASSERT_TRUE(record.save(store, 1));
    std::unique_ptr<Application> moved = startApplication();
    const QRect onScreen = moved->frame()->geometry();
    EXPECT_EQ(onScreen.size(), QSize(400, 300));
    EXPECT_TRUE(screen.contains(onScreen)) << onScreen.x() << "," << onScreen.y();
    moved->finish();
}

TEST_F(ApplicationTest, NoSelectedPortsIsToldOnceWithHowToChooseThem) {
    const QString hint = QStringLiteral("File > Load Profile...");
    std::unique_ptr<Application> first = startApplication();
    EXPECT_EQ(warningsWith(hint), 1);
    first->requestExit();
    first->finish();
    std::unique_ptr<Application> second = startApplication();
    EXPECT_EQ(warningsWith(QStringLiteral("No Selected Devices")), 0);
    second->finish();

    SettingsStore store; // a selection that fails to open is told every time
    SettingsProfile record = SettingsProfile::load(store, 1);
    record.devices.inputs = {"A Keyboard That Is Gone"};
    record.devices.outputs = {"A Synth That Is Gone"};
    ASSERT_TRUE(record.save(store, 1));
    for (int run = 0; run < 2; ++run) {
        std::unique_ptr<Application> failing = startApplication();
        EXPECT_EQ(warningsWith(hint), 1) << run;
        failing->finish();
    }
}

// Answers the modal windows that open while `run` runs, one after another, with `answer`
// (which returns true when it has seen the last one it expects).
template <typename Run, typename Answer> void answeringModals(Run run, Answer answer) {
    QTimer timer;
    bool finished = false;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget(); modal && !finished) {
            finished = answer(modal);
        }
    });
    timer.start(10);
    run();
    EXPECT_TRUE(finished);
}

TEST_F(ApplicationTest, PlayMidiAsksForAnotherPlayerUntilOneStartsAndKeepsIt) {
    const std::string home = cvx::testing::isolatedHome();
    const std::string player = home + "/my player.sh";
    std::ofstream(player) << "#!/bin/sh\ntouch \"$HOME/player started\"\n";
    std::filesystem::permissions(player, std::filesystem::perms::owner_all);
    std::filesystem::remove(home + "/player started");
    {
        SettingsStore store;
        SettingsProfile record = SettingsProfile::defaults();
        record.options.midiPlayer = "/nowhere/tunelet";
        ASSERT_TRUE(record.save(store, 1));
    }
    std::unique_ptr<Application> application = startApplication();
    int notFound = 0;
    answeringModals([&] { application->frame()->runCommand(cmd::kPlayMidi); },
                    [&](QWidget* modal) {
                        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                            notFound += box->text() == "MIDI Player Not Found!";
                            box->accept();
                            return false;
                        }
                        EXPECT_EQ(modal->objectName(), "MIDIPLAYER");
                        modal->findChild<QLineEdit*>("539")->setText(
                            QString::fromStdString(player));
                        qobject_cast<QDialog*>(modal)->accept();
                        return true;
                    });
    EXPECT_EQ(notFound, 1);
    const QDeadlineTimer deadline(5000);
    while (!std::filesystem::exists(home + "/player started") && !deadline.hasExpired()) {
        QTest::qWait(20);
    }
    EXPECT_TRUE(std::filesystem::exists(home + "/player started"));
    application->requestExit();
    application->finish();
    SettingsStore store;
    EXPECT_EQ(SettingsProfile::load(store, 1).options.midiPlayer, player);
}

TEST_F(ApplicationTest, FileAssociationsChangesOnlyTheTypesWhoseBoxChanged) {
    const std::string list = cvx::testing::isolatedHome() + "/.config/mimeapps.list";
    std::filesystem::remove(list);
    std::filesystem::remove(cvx::testing::isolatedHome() + "/.config/Corvex/associations.ini");
    std::ofstream(list) << "[Default Applications]\naudio/midi=other-player.desktop;\n";
    std::unique_ptr<Application> application = startApplication();
    const auto runDialog = [&](const char* box, bool confirm) {
        answeringModals([&] { application->frame()->runCommand(cmd::kFileAssociations); },
                        [&](QWidget* modal) {
                            EXPECT_EQ(modal->objectName(), "FileAssociation");
                            QCheckBox* check = modal->findChild<QCheckBox*>(box);
                            check->setChecked(!check->isChecked());
                            confirm ? qobject_cast<QDialog*>(modal)->accept()
                                    : qobject_cast<QDialog*>(modal)->reject();
                            return true;
                        });
    };
    const auto listText = [&] {
        std::ifstream in(list);
        return std::string((std::istreambuf_iterator<char>(in)), {});
    };
    runDialog("575", true); // MIDI files: to the player, the other one kept as backup
    EXPECT_NE(listText().find("audio/midi=tunelet.desktop;"), std::string::npos);
    runDialog("573", false); // Cancel: SysEx stays as it was
    EXPECT_EQ(listText().find("x-corvex-sysex"), std::string::npos);
    runDialog("575", true); // unchecked: the previous player is back
    EXPECT_NE(listText().find("audio/midi=other-player.desktop;"), std::string::npos);
    application->requestExit();
    application->finish();
}

TEST_F(ApplicationTest, OptionsColorsEditsTheSchemeThatIsSavedAtExit) {
    std::unique_ptr<Application> application = startApplication();
    QAction* colours = application->frame()->action(cmd::kColors);
    ASSERT_NE(colours, nullptr);
    EXPECT_TRUE(colours->isEnabled());
    bool edited = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<ColourDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->selectItem(kNoteOnColour);
        dialog->changeColour();
        ASSERT_NE(dialog->colourPicker(), nullptr);
        dialog->colourPicker()->setCurrentColor(QColor(11, 22, 33));
        dialog->colourPicker()->accept();
        dialog->accept();
        edited = true;
    });
    colours->trigger();
    EXPECT_TRUE(edited);
    EXPECT_EQ(application->settings().display.colours[kNoteOnColour], rgbColour(11, 22, 33));
    application->requestExit();
    application->finish();
    SettingsStore store;
    EXPECT_EQ(SettingsProfile::load(store, 1).display.colours[kNoteOnColour],
              rgbColour(11, 22, 33));
}

// Every menu item whose feature is built works; the rest wait for their features.
TEST_F(ApplicationTest, NoMenuItemOfABuiltFeatureIsDisabled) {
    const std::set<int> toCome = {cmd::kLog,
                                  cmd::kLoadSnapshot,
                                  cmd::kSaveSnapshot,
                                  cmd::kControlPanel,
                                  cmd::kInstrumentPanel,
                                  cmd::kNrpnCalculator,
                                  cmd::kSysExView,
                                  cmd::kMidiStatus,
                                  cmd::kPortStatus,
                                  cmd::kPortRoutings,
                                  cmd::kClearStatus,
                                  cmd::kSendSysExFile,
                                  cmd::kSendSnapshot,
                                  cmd::kKeyboard,
                                  cmd::kStopWScript,
                                  cmd::kMidiDevices,
                                  cmd::kCustomizePortNames,
                                  cmd::kPatchMapping,
                                  cmd::kConfigureStatus,
                                  cmd::kCustomizeToolbar,
                                  cmd::kMinimizeInTray,
                                  cmd::kAlwaysInTray};
    std::unique_ptr<Application> application = startApplication();
    std::vector<int> disabled;
    std::vector<int> enabledEarly;
    for (QAction* action : application->frame()->findChildren<QAction*>()) {
        const int id = action->data().toInt();
        if (!action->objectName().startsWith("command")) {
            continue; // accelerators and separators
        }
        if (!action->isEnabled() && !toCome.contains(id)) {
            disabled.push_back(id);
        }
        if (action->isEnabled() && toCome.contains(id)) {
            enabledEarly.push_back(id);
        }
    }
    EXPECT_EQ(disabled, std::vector<int>{});
    // A feature that arrives takes its command off the list above.
    EXPECT_EQ(enabledEarly, std::vector<int>{});
    application->finish();
}

// The buffer counts and sizes chosen in "Configure SysEx Buffers" are in force at once, kept
// by a profile that does not name them, taken from one that does, and there after a restart.
TEST_F(ApplicationTest, ConfiguredSysExBuffersAreKeptAcrossProfilesAndRestarts) {
    storeSelection();
    std::unique_ptr<Application> application = startApplication();
    FrameWindow& frame = *application->frame();
    ASSERT_NE(frame.action(cmd::kConfigureBuffers), nullptr);
    EXPECT_TRUE(frame.action(cmd::kConfigureBuffers)->isEnabled());
    ASSERT_TRUE(frame.runCommand(cmd::kConfigureBuffers));
    auto* dialog = frame.findChild<SysExBuffersDialog*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->inputCountField()->minimum(), 1);
    EXPECT_EQ(dialog->outputCountField()->maximum(), 32767);
    dialog->inputSizeField()->setText("1024");
    dialog->inputCountField()->setValue(4);
    dialog->outputSizeField()->setText("2048");
    dialog->outputCountField()->setValue(6);
    dialog->accept();
    auto buffers = [](const SysExBufferConfig& config) {
        return std::vector<int>{config.inputCount, config.inputSize, config.outputCount,
                                config.outputSize};
    };
    const std::vector<int> chosen{4, 1024, 6, 2048};
    EXPECT_EQ(buffers(application->midi().sysexConfig()), chosen);

    const std::string home = cvx::testing::isolatedHome();
    const struct {
        const char* file;
        const char* options;
        std::vector<int> expected;
    } profiles[] = {
        {"/silent.ini", "", chosen},
        {"/named.ini", "[Options]\nBuffer Count=3\nBuffer Size=512\n", {3, 512, 6, 2048}},
    };
    for (const auto& profile : profiles) {
        SCOPED_TRACE(profile.file);
        const std::string path = home + profile.file;
        std::ofstream(path) << profile.options
                            << "[MIDI Devices]\nDevMIDIIn=1\nIn1=Corvex Loopback 1\n"
                               "DevMIDIOut=1\nOut1=Corvex Loopback 2\n";
        frame.dropFiles({path});
        EXPECT_EQ(buffers(application->midi().sysexConfig()), profile.expected);
    }
    application->requestExit();
    application->finish();
    application.reset();

    std::unique_ptr<Application> again = startApplication();
    EXPECT_EQ(buffers(again->midi().sysexConfig()), (std::vector<int>{3, 512, 6, 2048}));
    again->finish();
}

// The device layer tells the frame whenever the ports open or close (command 33186), so that
// whatever shows ports refreshes, however the ports were opened.
TEST_F(ApplicationTest, OpeningAndClosingThePortsTellsTheFrame) {
    storeSelection();
    std::unique_ptr<Application> application = startApplication();
    QSignalSpy changed(application->frame(), &FrameWindow::portsChanged);
    application->midi().closePorts();
    EXPECT_EQ(changed.count(), 1);
    ASSERT_TRUE(application->midi().openPorts());
    EXPECT_EQ(changed.count(), 2);
    application->finish();
}

// "Display Verbose Device Information" takes effect when the General Options close.
TEST_F(ApplicationTest, VerboseDeviceInformationFollowsTheOptionsAtOnce) {
    class Prompts : public FramePrompts {
    public:
        explicit Prompts(bool verbose) : verbose_(verbose) {}
        bool editGeneralOptions(QWidget*, GeneralOptions& options) override {
            options.verboseDeviceInfo = verbose_;
            return true;
        }

    private:
        bool verbose_;
    };
    std::unique_ptr<Application> application = startApplication();
    for (const bool verbose : {false, true}) {
        application->frame()->setPrompts(std::make_unique<Prompts>(verbose));
        ASSERT_TRUE(application->frame()->runCommand(cmd::kGeneralOptions));
        EXPECT_EQ(application->midi().verboseDeviceInfo(), verbose);
        EXPECT_EQ(application->settings().display.verbose, verbose);
    }
    application->finish();
}

} // namespace
} // namespace corvex
