// corvex-dump and corvex-thru as users run them: with bad arguments, on a loopback cable
// until Ctrl-C, and against the JACK ports of another client on a private dummy server.
#include "child_process.h"
#include "support/jack_peer_client.h"
#include "support/jack_test_server.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <thread>

namespace corvex::examples {
namespace {

using namespace std::chrono_literals;
using testing::ChildProcess;

constexpr auto kPatience = 30s; // the machine may be loaded

class ExampleProgram : public ::testing::Test {
protected:
    void SetUp() override { setenv("CORVEX_MIDI", "virtual", 1); }
};

TEST_F(ExampleProgram, BadArgumentsAndUnknownDevicesEndWithAMessage) {
    struct Case {
        const char* program;
        std::vector<std::string> arguments;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {CORVEX_DUMP, {}, 2, "usage: corvex-dump"},
        {CORVEX_DUMP, {"--frobnicate", "0"}, 2, "usage: corvex-dump"},
        {CORVEX_DUMP, {"No Such Port"}, 1, "no input \"No Such Port\""},
        {CORVEX_THRU, {"0"}, 2, "usage: corvex-thru"},
        {CORVEX_THRU, {"0", "1", "17"}, 2, "\"17\" is not a channel list"},
        {CORVEX_THRU, {"0", "Nowhere"}, 1, "no output \"Nowhere\""},
        {CORVEX_THRU, {"Corvex Loopback 1", "0"}, 1, "is one loopback cable"},
    };
    for (const Case& c : cases) {
        ChildProcess child(c.program, c.arguments);
        EXPECT_EQ(child.wait(kPatience), c.status) << c.program << ' ' << child.errors();
        EXPECT_NE(child.errors().find(c.message), std::string::npos) << child.errors();
    }
}

TEST_F(ExampleProgram, ListShowsTheLoopbackCables) {
    ChildProcess child(CORVEX_THRU, {"--list"});
    ASSERT_EQ(child.wait(kPatience), 0) << child.errors();
    EXPECT_NE(child.output().find("  3  Corvex Loopback 4  (virtual)"), std::string::npos)
        << child.output();
}

TEST_F(ExampleProgram, BothRunOnLoopbackCablesUntilCtrlC) {
    ChildProcess dump(CORVEX_DUMP, {"Corvex Loopback 1"});
    ChildProcess thru(CORVEX_THRU, {"Corvex Loopback 2", "Corvex Loopback 3", "1-4,10"});
    ASSERT_TRUE(dump.waitForOutput(" TIMESTAMP IN PORT", kPatience)) << dump.errors();
    ASSERT_TRUE(thru.waitForOutput("channels 0x020F", kPatience)) << thru.errors();

    dump.signal(SIGINT);
    thru.signal(SIGINT);
    EXPECT_EQ(dump.wait(kPatience), 0) << dump.errors();
    EXPECT_EQ(thru.wait(kPatience), 0) << thru.errors();
    EXPECT_NE(thru.output().find("0 messages sent"), std::string::npos) << thru.output();
}

class ExampleProgramOnJack : public ::testing::Test {
protected:
    void SetUp() override {
        if (!cvx::platform::JackTestServer::installed()) {
            GTEST_SKIP() << "jackd is not installed";
        }
        ASSERT_TRUE(server.start()) << "jackd -d dummy did not come up";
        peer = std::make_unique<cvx::platform::JackPeerClient>();
        ASSERT_TRUE(peer->opened());
        setenv("CORVEX_MIDI", "jack", 1);
    }

    // Waits until the peer's input received `bytes` somewhere in what arrived.
    bool peerReceives(const std::vector<uint8_t>& bytes) {
        const auto end = std::chrono::steady_clock::now() + kPatience;
        while (std::chrono::steady_clock::now() < end) {
            auto received = peer->received();
            if (std::search(received.begin(), received.end(), bytes.begin(), bytes.end()) !=
                received.end()) {
                return true;
            }
            std::this_thread::sleep_for(20ms);
        }
        return false;
    }

    cvx::platform::JackTestServer server;
    std::unique_ptr<cvx::platform::JackPeerClient> peer;
};

TEST_F(ExampleProgramOnJack, DumpPrintsWhatAJackPortSends) {
    ChildProcess dump(CORVEX_DUMP, {cvx::platform::JackPeerClient::kOutName});
    ASSERT_TRUE(dump.waitForOutput(" TIMESTAMP IN PORT", kPatience)) << dump.errors();
    ASSERT_TRUE(peer->send({0x93, 64, 80}));
    EXPECT_TRUE(dump.waitForOutput("Note On", kPatience)) << dump.output() << dump.errors();
    dump.signal(SIGINT);
    EXPECT_EQ(dump.wait(kPatience), 0) << dump.errors();
}

TEST_F(ExampleProgramOnJack, ThruRoutesTheChosenChannelsFromOneJackPortToAnother) {
    ChildProcess thru(CORVEX_THRU, {cvx::platform::JackPeerClient::kOutName,
                                    cvx::platform::JackPeerClient::kInName, "1"});
    ASSERT_TRUE(thru.waitForOutput("Ctrl-C ends", kPatience)) << thru.errors();
    ASSERT_TRUE(peer->send({0x91, 61, 90})); // channel 2: held back
    ASSERT_TRUE(peer->send({0x90, 60, 100}));
    EXPECT_TRUE(peerReceives({0x90, 60, 100})) << thru.errors();
    EXPECT_EQ(peer->received(), (std::vector<uint8_t>{0x90, 60, 100}));
    thru.signal(SIGINT);
    EXPECT_EQ(thru.wait(kPatience), 0) << thru.errors();
    EXPECT_NE(thru.output().find("1 messages sent"), std::string::npos) << thru.output();
}

} // namespace
} // namespace corvex::examples
