// The application brought up in this process on the loopback cables, offscreen.
#include "shell/application.h"

#include "instruments/ui/instrument_panel_window.h"
#include "mapping/map_capacity.h"
#include "mapping/map_editor_model.h"
#include "mapping/map_settings.h"
#include "mapping/profile_map.h"
#include "mapping/ui/filter_dialog.h"
#include "mapping/ui/translation_map_dialog.h"
#include "shell/instance_channel.h"
#include "views/colour_dialog.h"
#include "views/monitor_window.h"
#include "views/port_activity_window.h"

#include "command_ids.h"
#include "cvxlib.h"
#include "frame_prompts.h"
#include "frame_window.h"
#include "mapping/binary_map_file.h"
#include "mapping/data_map.h"
#include "midi.h"
#include "profile_file.h"
#include "routing/ui/midi_devices_dialog.h"
#include "routing/ui/port_names_dialog.h"
#include "routing/ui/routing_view.h"
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
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

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

// "corvex --send dump.syx" sends the file unseen after start-up, and so does a second start
// that hands it over; a file that is not there sends nothing and says nothing.
TEST_F(ApplicationTest, ASysExFileToSendIsSentAtStartAndWhenHandedOver) {
    storeSelection();
    std::vector<uint8_t> dump;
    for (uint8_t message = 0; message < 3; ++message) {
        dump.insert(dump.end(), {0xF0, 0x41, 0x10, message, 0x12, 0xF7});
    }
    const std::string path = cvx::testing::isolatedHome() + "/dump.syx";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(dump.data()),
               static_cast<std::streamsize>(dump.size()));
    CommandLine line;
    line.result = 4;
    line.sysexPath = path;
    line.sysexVerb = FileVerb::Send;
    std::unique_ptr<Application> application = startApplication(line);
    EXPECT_EQ(takeFrom(kLoopback2, dump.size()), dump);

    for (const std::string& handed : {path, path + ".missing"}) {
        const HandOff handOff{FileVerb::None, "", FileVerb::Send, handed};
        const HandOffBytes block = *encodeHandOff(handOff);
        const QString folder = QString::fromStdString(instanceLockFolder());
        auto reply = std::async(std::launch::async, [&] {
            return sendInstanceMessage(folder, 0, WM_CVX_HANDOFF, &block, 5000);
        });
        const std::vector<uint8_t> sent = takeFrom(kLoopback2, dump.size());
        EXPECT_EQ(reply.get(), 0);
        EXPECT_EQ(sent, handed == path ? dump : std::vector<uint8_t>{}) << handed;
    }
    EXPECT_EQ(warningsWith(""), 0);
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

// View > Instrument Panel opens the panel on the program's client: a patch chosen by name
// leaves on the routed output, the monitors name that channel's programs as the instrument
// does, the menu item waits while the panel is open, and the choice is there after a restart.
TEST_F(ApplicationTest, InstrumentPanelSendsNamedPatchesAndNamesThemForTheMonitors) {
    storeSelection();
    std::unique_ptr<Application> application = startApplication();
    const std::string folder = application->settings().options.instrumentFolder;
    ASSERT_FALSE(folder.empty());
    std::ofstream(folder + "/Test Synth.ins") << ".Patch Names\n[Test Names]\n5=Fretless\n"
                                                 ".Instrument Definitions\n[Test Synth]\n"
                                                 "Patch[129]=Test Names\n";
    QAction* panel = application->frame()->action(cmd::kInstrumentPanel);
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(panel->isEnabled());
    panel->trigger();
    InstrumentPanelWindow* window = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        window = window != nullptr ? window : qobject_cast<InstrumentPanelWindow*>(widget);
    }
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(panel->isEnabled()) << "one panel at a time";
    window->fileBox()->setCurrentText("Test Synth.ins");
    window->instrumentBox()->setCurrentText("Test Synth");
    ASSERT_EQ(window->bankMenu()->actions().size(), 1);
    window->bankMenu()->actions()[0]->trigger(); // no patch known yet: nothing to send
    ASSERT_EQ(window->patchMenu()->actions().size(), 1);
    window->patchMenu()->actions()[0]->trigger();
    EXPECT_EQ(takeFrom(kLoopback2, 8), (std::vector<uint8_t>{0xB0, 0, 1, 0xB0, 32, 1, 0xC0, 5}));
    EXPECT_EQ(application->midi().patchNames().name(0, 5), "Fretless");
    window->close();
    EXPECT_TRUE(panel->isEnabled());
    application->requestExit();
    application->finish();
    SettingsStore store;
    const SettingsProfile stored = SettingsProfile::load(store, 1);
    EXPECT_EQ(stored.options.instrumentFile, "Test Synth.ins");
    EXPECT_EQ(stored.options.instrumentName, "Test Synth");
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

// The filter and the global map edited from the menus are in force at once (the loopback
// output passes a controller and no longer the filtered note; the new row moves the
// controller to channel 2), "Global Data Map" switches the map off and on, a dropped map
// the engine cannot hold is refused with the running map kept, and both come back after a
// restart.
TEST_F(ApplicationTest, FilterAndMapEditedFromTheMenusActAtOnceAndAreKeptAtExit) {
    storeSelection();
    std::unique_ptr<Application> application = startApplication();
    FrameWindow& frame = *application->frame();
    const std::vector<uint8_t> control = {0xB0, 0x07, 0x40};
    const std::vector<uint8_t> note = {0x90, 0x3C, 0x64};
    auto pass = [](const std::vector<uint8_t>& first, const std::vector<uint8_t>& second) {
        EXPECT_EQ(vmidiFeed(kLoopback1, first.data(), static_cast<unsigned>(first.size())), 1);
        EXPECT_EQ(vmidiFeed(kLoopback1, second.data(), static_cast<unsigned>(second.size())), 1);
        return takeFrom(kLoopback2, 3);
    };

    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<FilterDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QCheckBox*>("Note On")->click();
        dialog->findChild<QCheckBox*>("FilterData")->click();
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    frame.action(cmd::kMidiFilter)->trigger();
    EXPECT_TRUE(frame.action(cmd::kMidiFilter)->isChecked());
    EXPECT_EQ(pass(note, control), control);

    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<TranslationMapDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        MapEditorRow row = newMapRow();
        row.item.sourceMessage = MAP_CTRL;
        row.item.targetChannel = 1;
        dialog->editor().insert(row);
        dialog->refresh();
        dialog->findChild<QCheckBox*>("mapOn")->setChecked(true);
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    frame.action(cmd::kDataMapping)->trigger();
    EXPECT_TRUE(frame.action(cmd::kDataMapping)->isChecked());
    EXPECT_EQ(pass(note, control), (std::vector<uint8_t>{0xB1, 0x07, 0x40}));

    frame.runCommand(cmd::kGlobalDataMap);
    EXPECT_EQ(application->midi().map().mapIsOn, 0);
    EXPECT_FALSE(frame.action(cmd::kDataMapping)->isChecked());
    EXPECT_EQ(pass(note, control), control);
    frame.runCommand(cmd::kGlobalDataMap);
    EXPECT_EQ(application->midi().map().mapIsOn, 1);

    DataMap huge;
    const std::vector<MapRow> rows(kMaxMapItems + 1, MapRow{newMapRow().item, {}});
    huge.load(rows, false);
    const std::string hugePath = cvx::testing::isolatedHome() + "/huge.vxm";
    ASSERT_TRUE(writeBinaryMap(huge, hugePath).ok);
    frame.dropFiles({hugePath});
    EXPECT_EQ(warningsWith("The engine's 64 KB map storage takes at most 2727 items"), 1);
    EXPECT_EQ(application->midi().map().itemCount, 1);

    application->requestExit();
    application->finish();
    std::unique_ptr<Application> again = startApplication();
    EXPECT_EQ(again->midi().filter().filterFlags,
              CVX_FILTER_NOTE_ON | CVX_FILTER_DATA | CVX_FILTER_SYSTEM_REALTIME);
    EXPECT_EQ(again->midi().map().itemCount, 1);
    EXPECT_EQ(again->midi().map().mapIsOn, 1);
    EXPECT_TRUE(again->frame()->action(cmd::kMidiFilter)->isChecked());
    again->finish();
}

// Every menu item whose feature is built works; the rest wait for their features.
TEST_F(ApplicationTest, NoMenuItemOfABuiltFeatureIsDisabled) {
    // These work while the MIDI status view is open.
    const std::set<int> needStatusView = {cmd::kLoadSnapshot, cmd::kSaveSnapshot,
                                          cmd::kSendSnapshot, cmd::kClearStatus};
    const std::set<int> toCome = {cmd::kSysExView, cmd::kStopWScript, cmd::kPatchMapping,
                                  cmd::kMinimizeInTray, cmd::kAlwaysInTray};
    std::unique_ptr<Application> application = startApplication();
    std::vector<int> disabled;
    std::vector<int> enabledEarly;
    for (QAction* action : application->frame()->findChildren<QAction*>()) {
        const int id = action->data().toInt();
        if (!action->objectName().startsWith("command")) {
            continue; // accelerators and separators
        }
        if (!action->isEnabled() && !toCome.contains(id) && !needStatusView.contains(id)) {
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

// "MIDI Devices" on the running program: a second output chosen in the dialog, with channel 1
// of Loopback 1 taken off it, is open after OK and gets exactly what its routing passes.
TEST_F(ApplicationTest, MidiDevicesDialogReopensThePortsWithItsRouting) {
    constexpr unsigned kLoopback3 = 2;
    constexpr unsigned kLoopback4 = 3;
    storeSelection();
    std::unique_ptr<Application> application = startApplication();
    FrameWindow& frame = *application->frame();
    ASSERT_NE(frame.action(cmd::kMidiDevices), nullptr);
    EXPECT_TRUE(frame.action(cmd::kMidiDevices)->isEnabled());
    bool edited = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<MidiDevicesDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        QListWidget* outputs = dialog->outputList();
        for (int row = 0; row < outputs->count(); ++row) {
            if (outputs->item(row)->text().endsWith("Corvex Loopback 3")) {
                outputs->item(row)->setSelected(true); // attaches Loopback 1 and the events
            }
        }
        QTreeWidgetItem* channelOne = nullptr;
        for (QTreeWidgetItem* item :
             dialog->mappingTree()->findItems("1", Qt::MatchExactly | Qt::MatchRecursive)) {
            if (item->parent()->parent()->text(0) == "Corvex Loopback 1" &&
                item->parent()->parent()->parent()->text(0) == "Corvex Loopback 3") {
                channelOne = item;
            }
        }
        ASSERT_NE(channelOne, nullptr);
        dialog->mappingTree()->setCurrentItem(channelOne);
        dialog->deleteSelectedNode();
        dialog->accept();
        edited = true;
    });
    ASSERT_TRUE(frame.runCommand(cmd::kMidiDevices));
    ASSERT_TRUE(edited);
    EXPECT_EQ(IsOutDevOpen(application->client(), kLoopback3), 1);
    EXPECT_EQ(IsOutDevOpen(application->client(), kLoopback4), 0);
    MonitorWindow* monitor = monitorOf(*application, ViewKind::MainMonitor);
    ASSERT_NE(monitor, nullptr);
    EXPECT_NE(waitForLine(*monitor, "open outputs: Corvex Loopback 2, Corvex Loopback 3"), "");

    const struct {
        uint8_t status;
        bool onLoopback3;
    } cases[] = {{0x90, false}, {0x91, true}};
    // What reached `output` by now: a Note On on Loopback 1 is routed within one settle.
    const auto takeNow = [](unsigned output) {
        vmidiSettle();
        unsigned char buffer[64];
        return std::vector<uint8_t>(buffer, buffer + vmidiTake(output, buffer, sizeof buffer));
    };
    for (unsigned cable : {kLoopback2, kLoopback3, kLoopback4}) {
        takeNow(cable); // what earlier tests left on the cables
    }
    for (const auto& test : cases) {
        const unsigned char noteOn[] = {test.status, 0x3C, 0x64};
        ASSERT_EQ(vmidiFeed(kLoopback1, noteOn, sizeof noteOn), 1);
        const std::vector<uint8_t> sent(noteOn, noteOn + 3);
        EXPECT_EQ(takeNow(kLoopback2), sent);
        EXPECT_EQ(takeNow(kLoopback3), test.onLoopback3 ? sent : std::vector<uint8_t>{});
        EXPECT_EQ(takeNow(kLoopback4), std::vector<uint8_t>{});
    }
    const SettingsProfile& kept = application->settings();
    EXPECT_EQ(kept.devices.outputs,
              (std::vector<std::string>{"Corvex Loopback 2", "Corvex Loopback 3"}));
    application->finish();
}

// The routing view edits the running routing: a connection's handle dragged away stops the
// traffic at once, an input dragged onto the output restores it, and both are kept at exit.
TEST_F(ApplicationTest, DragsInTheRoutingViewRouteTheRunningPorts) {
    storeSelection();
    std::unique_ptr<Application> application = startApplication();
    FrameWindow& frame = *application->frame();
    ASSERT_TRUE(frame.action(cmd::kPortRoutings)->isEnabled());
    ASSERT_TRUE(frame.runCommand(cmd::kPortRoutings));
    QMdiSubWindow* window = frame.viewWindow(ViewKind::PortRouting);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), "MIDI Port Routing");
    auto* view = qobject_cast<RoutingView*>(window->widget());
    ASSERT_NE(view, nullptr);
    window->resize(700, 500);
    QCoreApplication::processEvents();
    const auto findConnection = [view](int input) {
        for (const auto& connection : view->content().connections) {
            if (connection.input == input) {
                return &connection;
            }
        }
        return static_cast<const RoutingViewConnection*>(nullptr);
    };
    const auto point = [](ViewPoint p) { return QPoint(int(p.x), int(p.y)); };
    const auto drag = [view](QPoint from, QPoint to) {
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(view->viewport(), to);
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, to);
    };
    const unsigned char noteOn[] = {0x90, 0x3C, 0x64};
    const RoutingViewConnection* routed = findConnection(int(kLoopback1));
    ASSERT_NE(routed, nullptr);
    const QPoint input = point(view->layoutGeometry().inputAnchor(routed->inputRow));
    const QPoint output = point(view->layoutGeometry().outputAnchor(routed->outputRow));
    drag(point(view->layoutGeometry().handleCentre(*routed)), {view->viewport()->width() / 2, 4});
    EXPECT_EQ(findConnection(int(kLoopback1)), nullptr);
    ASSERT_EQ(vmidiFeed(kLoopback1, noteOn, sizeof noteOn), 1);
    vmidiSettle();
    unsigned char left[16];
    EXPECT_EQ(vmidiTake(kLoopback2, left, sizeof left), 0u) << "disconnected";

    drag(input, output);
    EXPECT_NE(findConnection(int(kLoopback1)), nullptr);
    ASSERT_EQ(vmidiFeed(kLoopback1, noteOn, sizeof noteOn), 1);
    EXPECT_EQ(takeFrom(kLoopback2, 3), std::vector<uint8_t>(noteOn, noteOn + 3));
    const SettingsProfile& kept = application->settings();
    ASSERT_EQ(kept.devices.outputMaps.size(), 1u);
    EXPECT_EQ(kept.devices.outputMaps[0].inputBits[0] & 1u, 1u) << "Loopback 1 feeds it";
    application->finish();
}

// The port activity view lights the lamps of the ports a message passes, and only those.
TEST_F(ApplicationTest, PortActivityShowsTrafficOnTheOpenPorts) {
    storeSelection();
    std::unique_ptr<Application> application = startApplication();
    FrameWindow& frame = *application->frame();
    ASSERT_TRUE(frame.action(cmd::kPortStatus)->isEnabled());
    ASSERT_TRUE(frame.runCommand(cmd::kPortStatus));
    QMdiSubWindow* window = frame.viewWindow(ViewKind::PortStatus);
    ASSERT_NE(window, nullptr);
    auto* view = qobject_cast<PortActivityWindow*>(window->widget());
    ASSERT_NE(view, nullptr);
    const auto rowOf = [view](ActivityRow::Kind kind, int device) {
        const auto& rows = view->activity().rows();
        for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
            if (rows[row].kind == kind && rows[row].device == device) {
                return row;
            }
        }
        return -1;
    };
    const int input = rowOf(ActivityRow::Kind::Input, int(kLoopback1));
    const int output = rowOf(ActivityRow::Kind::Output, int(kLoopback2));
    ASSERT_GE(input, 0);
    ASSERT_GE(output, 0);
    const unsigned char noteOn[] = {0x92, 0x3C, 0x64}; // channel 3
    ASSERT_EQ(vmidiFeed(kLoopback1, noteOn, sizeof noteOn), 1);
    const QDeadlineTimer deadline(5000);
    while (!(view->activity().lit(input, 3) && view->activity().lit(output, 3)) &&
           !deadline.hasExpired()) {
        vmidiSettle();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    EXPECT_TRUE(view->activity().lit(input, 0));
    EXPECT_TRUE(view->activity().lit(input, 3));
    EXPECT_TRUE(view->activity().lit(output, 3));
    EXPECT_FALSE(view->activity().lit(input, 1));
    EXPECT_FALSE(view->activity().lit(input, 18));
    application->finish();
}

// A custom name given in "Customize Port Names" is shown at once, stored, and the selection
// that names the port by it still opens and routes it after a restart; clearing it shows
// the device name again.
TEST_F(ApplicationTest, CustomPortNamesAreShownStoredAndKeepTheRouting) {
    storeSelection();
    const struct {
        QString typed;
        std::string shown;
    } cases[] = {{"Synth", "Synth"}, {"", "Corvex Loopback 2"}};
    for (const auto& test : cases) {
        SCOPED_TRACE(test.shown);
        std::unique_ptr<Application> application = startApplication();
        EXPECT_EQ(IsOutDevOpen(application->client(), kLoopback2), 1);
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<PortNamesDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            const QList<QTreeWidgetItem*> rows =
                dialog->list()->findItems("Corvex Loopback 2", Qt::MatchExactly, 1);
            ASSERT_EQ(rows.size(), 2); // the input and the output of the cable
            rows.back()->setText(0, test.typed);
            dialog->accept();
        });
        ASSERT_TRUE(application->frame()->runCommand(cmd::kCustomizePortNames));
        EXPECT_EQ(application->midi().output(kLoopback2).displayName(), test.shown);
        EXPECT_EQ(application->midi().input(kLoopback2).displayName(), "Corvex Loopback 2");
        EXPECT_EQ(application->settings().devices.outputs, std::vector<std::string>{test.shown});
        application->requestExit();
        application->finish();
    }
    EXPECT_EQ(SettingsStore().valueNames("Custom Out Names"), std::vector<std::string>{});
}

// The computer keyboard plays through "Corvex Events" to the routed output, its held note
// ends at exit, and the control panel closes through the frame and opens again.
TEST_F(ApplicationTest, TheKeyboardAndTheControlPanelPlayThroughTheEventPort) {
    storeSelection();
    std::unique_ptr<Application> application = startApplication();
    FrameWindow& frame = *application->frame();
    ASSERT_TRUE(frame.runCommand(cmd::kKeyboard));
    ASSERT_TRUE(frame.action(cmd::kKeyboard)->isChecked());
    const auto key = [&frame](QEvent::Type type, quint32 keyCode) {
        QKeyEvent event(type, Qt::Key_unknown, Qt::NoModifier, keyCode, 0, 0);
        QApplication::sendEvent(&frame, &event);
    };
    constexpr quint32 kZ = 44 + 8; // the bottom row's first letter key
    key(QEvent::KeyPress, kZ);
    key(QEvent::KeyRelease, kZ);
    EXPECT_EQ(takeFrom(kLoopback2, 6), (std::vector<uint8_t>{0x90, 48, 100, 0x80, 48, 64}));

    ASSERT_TRUE(frame.runCommand(cmd::kControlPanel));
    auto* panel = frame.findChild<QDialog*>();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->windowTitle(), "Control Panel");
    EXPECT_FALSE(frame.action(cmd::kControlPanel)->isEnabled()); // one at a time
    panel->reject();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frame.findChild<QDialog*>(), nullptr);
    EXPECT_TRUE(frame.action(cmd::kControlPanel)->isEnabled());

    key(QEvent::KeyPress, kZ);
    EXPECT_EQ(takeFrom(kLoopback2, 3), (std::vector<uint8_t>{0x90, 48, 100}));
    application->requestExit();
    application->finish();
    EXPECT_EQ(takeFrom(kLoopback2, 3), (std::vector<uint8_t>{0x80, 48, 64}));
}

} // namespace
} // namespace corvex
