// Later starts of the program hand their file to the running player over the per-user
// socket and end. The receiving side here is this test's own PlayerInstanceServer (what the
// player window listens with), so what arrives can be checked; one test runs two programs.
#include "instance_channel.h"
#include "player_settings.h"
#include "smf_bytes.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace corvex {
namespace {

using namespace smf::test;

void ensureApplication() {
    static int argc = 1;
    static char name[] = "player_program_tests";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) {
        new QCoreApplication(argc, argv);
    }
}

std::string writeSong(const std::string& path) {
    Bytes bytes = file({header(0, 1, 96), track({event(0, {0x90, 60, 100}), endOfTrack(960)})});
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

// Runs the program to its end while this process keeps serving its socket.
int runProgram(const QStringList& arguments, int timeoutMs = 30000) {
    QProcess program;
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(TUNELET_PROGRAM, arguments);
    QElapsedTimer timer;
    timer.start();
    while (program.state() != QProcess::NotRunning && timer.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        program.waitForFinished(20);
    }
    if (program.state() != QProcess::NotRunning) {
        program.kill();
        program.waitForFinished();
        return -1;
    }
    return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
}

class SingleInstance : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        SettingsStore store;
        PlayerSettings settings;
        settings.singleInstance = true;
        ASSERT_TRUE(writePlayerSettings(store, settings));
        song = writeSong(std::string(std::getenv("HOME")) + "/handed over.mid");
    }

    std::string song;
    std::vector<PlayerHandOff> received;
    PlayerInstanceServer server{[this](const PlayerHandOff& h) { received.push_back(h); }};
};

TEST_F(SingleInstance, ALaterStartHandsItsFileOverAndEnds) {
    ASSERT_TRUE(server.listen());
    EXPECT_EQ(runProgram({"-play", QString::fromStdString(song)}), 0);
    EXPECT_EQ(runProgram({"/send", QString::fromStdString(song)}), 0);
    QCoreApplication::processEvents();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].command, kHandOffPlay);
    EXPECT_EQ(received[0].path, song);
    EXPECT_EQ(received[1].command, kHandOffOpen);
}

TEST_F(SingleInstance, ALaterStartWithoutAFileEndsWithoutShowingAnything) {
    ASSERT_TRUE(server.listen());
    EXPECT_EQ(runProgram({}), 0);
    EXPECT_EQ(runProgram({"-play", "missing.mid"}), 0);
    EXPECT_TRUE(received.empty());
}

TEST_F(SingleInstance, APathOver260BytesIsRefusedNotCut) {
    std::string folder = std::getenv("HOME");
    while (folder.size() < 280) {
        folder += "/a-rather-long-folder-name";
    }
    std::filesystem::create_directories(folder);
    std::string longSong = writeSong(folder + "/song.mid");
    ASSERT_TRUE(server.listen());
    EXPECT_EQ(runProgram({"-play", QString::fromStdString(longSong)}), 1);
    EXPECT_TRUE(received.empty());
}

TEST_F(SingleInstance, TwoProgramsHandOverTheFile) {
    QProcess first;
    first.setProcessChannelMode(QProcess::ForwardedChannels);
    first.start(TUNELET_PROGRAM, {});
    QElapsedTimer timer;
    timer.start();
    while (!playerRunning() && timer.elapsed() < 30000) {
        first.waitForFinished(100);
    }
    ASSERT_TRUE(playerRunning()) << "the first player did not come up";
    EXPECT_EQ(runProgram({"-open", QString::fromStdString(song)}), 0);
    EXPECT_EQ(first.state(), QProcess::Running);
    first.terminate(); // SIGTERM closes it as the user would
    ASSERT_TRUE(first.waitForFinished(30000));
    EXPECT_EQ(first.exitCode(), 0);
}

} // namespace
} // namespace corvex
