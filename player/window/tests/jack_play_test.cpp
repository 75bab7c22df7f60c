// The program plays a file to a JACK port of a private `jackd -d dummy`, chosen as the
// stored "OutputPort".
#include "player_settings.h"
#include "smf_bytes.h"
#include "support/jack_peer_client.h"
#include "support/jack_test_server.h"

#include <QCoreApplication>
#include <QProcess>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

namespace corvex {
namespace {

using namespace smf::test;
using cvx::platform::JackPeerClient;
using cvx::platform::JackTestServer;

TEST(TuneletOnJack, PlaysAFileToTheStoredJackPort) {
    static int argc = 1;
    static char name[] = "player_program_tests";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) {
        new QCoreApplication(argc, argv);
    }
    if (!JackTestServer::installed()) {
        GTEST_SKIP() << "jackd is not installed";
    }
    JackTestServer server;
    ASSERT_TRUE(server.start()) << "jackd -d dummy did not come up";
    JackPeerClient peer;
    ASSERT_TRUE(peer.opened());

    SettingsStore store;
    PlayerSettings settings;
    settings.outputPort = JackPeerClient::kInName;
    ASSERT_TRUE(writePlayerSettings(store, settings));
    std::string song = std::string(std::getenv("HOME")) + "/jack.mid";
    Bytes bytes = file({header(0, 1, 96), track({event(0, {0xC0, 5}), event(0, {0x90, 60, 100}),
                                                 event(48, {0x80, 60, 0}), endOfTrack(960)})});
    std::ofstream(song, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));

    QProcess program;
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("CORVEX_MIDI", "virtual,jack");
    program.setProcessEnvironment(environment);
    program.start(TUNELET_PROGRAM, {"-play", QString::fromStdString(song)});
    ASSERT_TRUE(program.waitForStarted(10000));
    Bytes expected = {0xC0, 5, 0x90, 60, 100, 0x80, 60, 0};
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (peer.received().size() < expected.size() &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(peer.received(), expected);
    program.terminate();
    EXPECT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitCode(), 0);
}

} // namespace
} // namespace corvex
