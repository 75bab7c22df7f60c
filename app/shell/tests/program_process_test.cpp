// The program run as users run it: a separate process, started and ended from outside.
#include "ini/engine_settings.h"
#include "mapping/ascii_map_file.h"
#include "mapping/data_map.h"
#include "mapping/map_settings.h"
#include "mapping/profile_map.h"
#include "profile_file.h"
#include "settings/folders.h"
#include "settings/settings_store.h"
#include "settings_profile.h"
#include "shell/instance_channel.h"
#include "shell/instance_slots.h"
#include "support/isolated_home.h"
#include "window_messages.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>

namespace corvex {
namespace {

constexpr int kStartTimeoutMs = 30000;

class ProgramProcessTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "program_process_test";
        static char* argv[] = {name, nullptr};
        static QCoreApplication application(argc, argv);
    }

    void TearDown() override {
        for (QProcess* process : processes_) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(5000);
            }
            delete process;
        }
    }

    QProcess* start(const QStringList& arguments, const QString& workingFolder = {},
                    const QString& program = QStringLiteral(CORVEX_PROGRAM)) {
        auto* process = new QProcess;
        processes_.push_back(process);
        process->setProgram(program);
        process->setArguments(arguments);
        process->setWorkingDirectory(workingFolder);
        process->start();
        EXPECT_TRUE(process->waitForStarted(kStartTimeoutMs));
        return process;
    }

    // Waits until the instance of `slot` answers; false after the time-out.
    bool waitUntilLive(int slot) {
        const QDeadlineTimer deadline(kStartTimeoutMs);
        while (!deadline.hasExpired()) {
            if (sendInstanceMessage(folder_, slot, WM_CVX_PING, nullptr, 1000) == 1) {
                return true;
            }
            QThread::msleep(50);
        }
        return false;
    }

    static int finish(QProcess* process) {
        EXPECT_TRUE(process->waitForFinished(kStartTimeoutMs));
        EXPECT_EQ(process->exitStatus(), QProcess::NormalExit);
        return process->exitCode();
    }

    static void terminate(QProcess* process) {
        ::kill(static_cast<pid_t>(process->processId()), SIGTERM);
    }

    QString folder_ = QString::fromStdString(instanceLockFolder());
    std::vector<QProcess*> processes_;
};

TEST_F(ProgramProcessTest, HelpVersionAndRegistrationWordsEndWithoutAWindow) {
    QProcess* help = start({QStringLiteral("--help")});
    EXPECT_EQ(finish(help), 0);
    EXPECT_TRUE(help->readAllStandardOutput().startsWith("Usage: corvex"));

    QProcess* version = start({QStringLiteral("--version")});
    EXPECT_EQ(finish(version), 0);
    EXPECT_TRUE(version->readAllStandardOutput().startsWith("corvex "));

    QProcess* install = start({QStringLiteral("/Install")});
    EXPECT_EQ(finish(install), 0);
    const std::string engineFile = cvx::profile::engineSettingsPath();
    std::ifstream file(engineFile);
    const std::string text((std::istreambuf_iterator<char>(file)), {});
    EXPECT_NE(text.find("MinDelay=4"), std::string::npos) << engineFile;

    QProcess* regserver = start({QStringLiteral("-regserver")});
    EXPECT_EQ(finish(regserver), 1);
    EXPECT_TRUE(regserver->readAllStandardError().contains("not available"));
}

TEST_F(ProgramProcessTest, TerminationSignalClosesLikeExitAndWritesTheStore) {
    QProcess* program = start({});
    ASSERT_TRUE(waitUntilLive(0));
    SettingsStore store;
    EXPECT_NE(store.readQword("Instance Data", "hWnd 00").value_or(0), 0u);

    terminate(program);
    EXPECT_EQ(finish(program), 0);
    EXPECT_FALSE(store.subkeys("Profile 1").empty());
    EXPECT_TRUE(store.readBinary("Profile 1\\Display", "Window Pos", 44).has_value());
    EXPECT_EQ(store.readQword("Instance Data", "hWnd 00"), 0u);
}

TEST_F(ProgramProcessTest, ASecondStartHandsItsSysExFileToTheFirst) {
    const QString dump = QString::fromStdString(cvx::testing::isolatedHome()) + "/a dump.syx";
    QFile file(dump);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\xF0\x7E\x7F\x09\x01\xF7", 6);
    file.close();

    QProcess* first = start({});
    ASSERT_TRUE(waitUntilLive(0));
    QProcess* second = start({QStringLiteral("--send"), dump});
    EXPECT_EQ(finish(second), 0);
    EXPECT_EQ(heldInstanceSlots(folder_.toStdString()), std::vector<int>{0}); // no new instance

    // The first instance acts on the file (this build reports that it has no SysEx view).
    const QDeadlineTimer deadline(kStartTimeoutMs);
    QByteArray said;
    while (!said.contains(dump.toUtf8()) && !deadline.hasExpired()) {
        first->waitForReadyRead(100);
        said += first->readAllStandardError();
    }
    EXPECT_TRUE(said.contains(dump.toUtf8())) << said.constData();
    terminate(first);
    EXPECT_EQ(finish(first), 0);
}

// A data map of `count` items that each discard one controller, switched on.
DataMap discardMap(int count) {
    DataMap map;
    map.isOn = 1;
    std::vector<MapRow> rows;
    for (int i = 0; i < count; ++i) {
        MapItem item{};
        item.sourceChannel = 0xFF;
        item.sourceMessage = MAP_CTRL;
        item.sourceV1Min = item.sourceV1Max = static_cast<uint16_t>(20 + i);
        item.sourceV2Min = 0;
        item.sourceV2Max = 127;
        item.targetChannel = 0xFF;
        item.targetMessage = MAP_DISCARD;
        item.targetV1Min = item.targetV1Max = item.targetV2Min = item.targetV2Max = 0xFFFF;
        rows.push_back({item, {}});
    }
    map.load(rows, false);
    return map;
}

// The settings as a later start reads them, with the global map from its private file.
struct Saved {
    SettingsProfile record;
    DataMap map;
};
Saved readSaved() {
    SettingsStore store;
    Saved saved{SettingsProfile::load(store, 1), {}};
    EXPECT_TRUE(readMapSettings(saved.map, saved.record.dataMap).message.empty());
    return saved;
}

// What the user set survives a SIGTERM and a new start exactly: the monitor font, the frame's
// place and size (to the pixel), the hex modes, the SysEx buffers, a profile given on the command
// line (by a path relative to the working folder) with its global data map, and an ASCII map handed
// over by a second start from another folder by a relative name.
TEST_F(ProgramProcessTest, SettingsSurviveATerminationAndARestart) {
    const std::filesystem::path folder =
        std::filesystem::path(cvx::testing::isolatedHome()) / "session";
    std::filesystem::create_directories(folder / "maps");
    SettingsStore store;
    SettingsProfile record = SettingsProfile::defaults();
    record.monitorFont = {"DejaVu Sans Mono", 13, true, false};
    record.display.windowPos = normalPlacement({40, 60, 840, 560});
    record.display.monitorInputHex = false;
    record.options.bufferCount = 12;
    record.options.bufferSize = 4096;
    record.options.outputBufferCount = 3;
    record.options.outputBufferSize = 1024;
    ASSERT_TRUE(record.save(store, 1));

    SettingsProfile profile = record;
    profile.display.monitorOutputHex = false;
    const DataMap profileMap = discardMap(1);
    ProfileSectionHandler mapSection;
    mapSection.exportTo = [&profileMap](cvx::profile::ProfileDocument& document) {
        writeProfileMap(profileMap, document, kProfileMapSection);
    };
    ASSERT_TRUE(exportProfile((folder / "studio.ini").string(), profile, {mapSection}));
    ASSERT_TRUE(writeAsciiMap(discardMap(2), (folder / "maps" / "edit.txm").string()).ok);

    const auto expectKept = [&record](const Saved& saved, size_t mapItems) {
        EXPECT_EQ(saved.record.monitorFont.faceName, "DejaVu Sans Mono");
        EXPECT_EQ(saved.record.monitorFont.size, 13);
        EXPECT_TRUE(saved.record.monitorFont.bold);
        const PlacementRect& frame = saved.record.display.windowPos.normal;
        const PlacementRect& placed = record.display.windowPos.normal;
        EXPECT_EQ(frame, placed); // to the pixel, run after run
        EXPECT_FALSE(saved.record.display.monitorInputHex);
        EXPECT_FALSE(saved.record.display.monitorOutputHex); // from the profile
        EXPECT_EQ(saved.record.options.bufferCount, 12);
        EXPECT_EQ(saved.record.options.bufferSize, 4096);
        EXPECT_EQ(saved.record.options.outputBufferCount, 3);
        EXPECT_EQ(saved.record.options.outputBufferSize, 1024);
        EXPECT_EQ(saved.map.items().size(), mapItems);
        EXPECT_EQ(saved.map.isOn, 1);
    };
    const auto runAndTerminate = [this](const QStringList& arguments, const QString& workingFolder,
                                        const std::function<void()>& meanwhile) {
        QProcess* program = start(arguments, workingFolder);
        ASSERT_TRUE(waitUntilLive(0));
        meanwhile();
        terminate(program);
        EXPECT_EQ(finish(program), 0);
        const QByteArray said = program->readAllStandardError();
        EXPECT_FALSE(said.contains("Cannot read map file")) << said.constData();
        EXPECT_FALSE(said.contains("File not found")) << said.constData();
    };

    // The profile, named relative to the working folder, brings its global data map.
    runAndTerminate({QStringLiteral("studio.ini")}, QString::fromStdString(folder), [] {});
    expectKept(readSaved(), 1);

    // A second start in another folder hands its ASCII map over by a relative name.
    runAndTerminate({}, {}, [&] {
        QProcess* second =
            start({QStringLiteral("edit.txm")}, QString::fromStdString(folder / "maps"));
        EXPECT_EQ(finish(second), 0);
        EXPECT_EQ(heldInstanceSlots(folder_.toStdString()), std::vector<int>{0});
    });
    expectKept(readSaved(), 2);

    runAndTerminate({}, {}, [] {});
    expectKept(readSaved(), 2);
}

// A log enabled in the settings opens at the start and is whole after a SIGTERM: its
// opening lines, then the closing line, each ended with CR LF.
TEST_F(ProgramProcessTest, ATerminatedProgramLeavesAWholeLog) {
    const std::filesystem::path log =
        std::filesystem::path(cvx::testing::isolatedHome()) / "session.log";
    SettingsStore store;
    SettingsProfile record = SettingsProfile::defaults();
    record.logFile.enabled = true;
    record.logFile.append = false;
    record.logFile.path = log.string();
    ASSERT_TRUE(record.save(store, 1));

    QProcess* program = start({});
    ASSERT_TRUE(waitUntilLive(0));
    terminate(program);
    EXPECT_EQ(finish(program), 0);

    std::ifstream in(log, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_TRUE(text.starts_with(" ===> Corvex Version: ")) << text;
    EXPECT_NE(text.find(" ===> Log Opened: "), std::string::npos) << text;
    const size_t closing = text.rfind(" <=== Corvex Log Closed: ");
    ASSERT_NE(closing, std::string::npos) << text;
    EXPECT_TRUE(text.ends_with(" <===\r\n")) << text;
    EXPECT_TRUE(SettingsProfile::load(store, 1).logFile.enabled) << "logging stays on";
}

TEST_F(ProgramProcessTest, InstancesStartedTogetherGetDifferentSlotsAndAKilledOnesIsReused) {
    QProcess* first = start({});
    QProcess* second = start({});
    ASSERT_TRUE(waitUntilLive(0));
    ASSERT_TRUE(waitUntilLive(1));
    EXPECT_EQ(heldInstanceSlots(folder_.toStdString()), (std::vector<int>{0, 1}));

    // Whichever won slot 0 is killed outright, with no shutdown at all.
    SettingsStore store;
    const auto pidOf = [&store](const char* value) {
        return store.readQword("Instance Data", value).value_or(0);
    };
    const bool firstHasSlot0 = pidOf("hWnd 00") == static_cast<uint64_t>(first->processId());
    QProcess* killed = firstHasSlot0 ? first : second;
    QProcess* survivor = firstHasSlot0 ? second : first;
    killed->kill();
    killed->waitForFinished(kStartTimeoutMs);

    QProcess* third = start({});
    const uint64_t thirdPid = static_cast<uint64_t>(third->processId());
    const QDeadlineTimer deadline(kStartTimeoutMs);
    while (pidOf("hWnd 00") != thirdPid && !deadline.hasExpired()) {
        QThread::msleep(50);
    }
    EXPECT_EQ(pidOf("hWnd 00"), thirdPid);
    ASSERT_TRUE(waitUntilLive(0));
    EXPECT_EQ(pidOf("hWnd 01"), static_cast<uint64_t>(survivor->processId()));
    terminate(survivor);
    terminate(third);
    EXPECT_EQ(finish(survivor), 0);
    EXPECT_EQ(finish(third), 0);
}

TEST_F(ProgramProcessTest, AStartBeyondSixteenInstancesEndsSilentlyWithOne) {
    std::vector<InstanceSlot> taken;
    for (int i = 0; i < kInstanceSlotCount; ++i) {
        taken.push_back(std::move(*claimInstanceSlot(folder_.toStdString())));
    }
    QProcess* program = start({});
    EXPECT_EQ(finish(program), 1);
    EXPECT_TRUE(program->readAllStandardError().isEmpty());
}

TEST_F(ProgramProcessTest, AMissingFileIsNamedAndNothingStarts) {
    // The message box waits for the user; the process is ended once the text is out.
    QProcess* program = start({QStringLiteral("/no/such/file.syx")});
    const QDeadlineTimer deadline(kStartTimeoutMs);
    QByteArray said;
    while (!said.contains("A specified file was not found") && !deadline.hasExpired()) {
        program->waitForReadyRead(100);
        said += program->readAllStandardError();
    }
    EXPECT_TRUE(said.contains("/no/such/file.syx")) << said.constData();
    EXPECT_TRUE(heldInstanceSlots(folder_.toStdString()).empty());
}

// Installed with its libraries, the program offers its General MIDI definitions in the
// instrument folder of a user who has none, on the first start.
TEST_F(ProgramProcessTest, AnInstalledProgramOffersItsGeneralMidiDefinitionsOnFirstStart) {
    const QString prefix = QString::fromStdString(cvx::testing::isolatedHome()) + "/prefix";
    for (const char* component : {"library", "program"}) {
        QProcess install;
        install.start(QStringLiteral(CVX_CMAKE_COMMAND),
                      {"--install", QStringLiteral(CVX_BUILD_DIR), "--prefix", prefix,
                       "--component", component});
        ASSERT_TRUE(install.waitForFinished(kStartTimeoutMs));
        ASSERT_EQ(install.exitCode(), 0) << install.readAllStandardError().constData();
    }
    const std::string offered = dataFolder() + "/General MIDI.ins";
    ASSERT_FALSE(std::filesystem::exists(offered));
    QProcess* program = start({}, {}, prefix + "/bin/corvex");
    ASSERT_TRUE(waitUntilLive(0));
    terminate(program);
    EXPECT_EQ(finish(program), 0);
    EXPECT_TRUE(std::filesystem::exists(offered)) << offered;
}

} // namespace
} // namespace corvex
