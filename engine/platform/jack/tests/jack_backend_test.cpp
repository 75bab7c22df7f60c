#include "backend_test_doubles.h"
#include "jack_peer_client.h"
#include "jack_test_server.h"
#include "platform/jack/jack_backend.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <numeric>

namespace cvx::platform {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes sysExOf(size_t size) {
    Bytes sysex(size);
    std::iota(sysex.begin(), sysex.end(), uint8_t{0});
    for (uint8_t& byte : sysex) {
        byte &= 0x7F;
    }
    sysex.front() = 0xF0;
    sysex.back() = 0xF7;
    return sysex;
}

TEST(JackBackendWithoutServer, DoesNotStartAndStartsNoServer) {
    const std::string name = "cvxnone" + std::to_string(getpid());
    setenv("JACK_DEFAULT_SERVER", name.c_str(), 1);
    CountingHost host;
    JackBackend backend;
    EXPECT_FALSE(backend.start(host));
    EXPECT_TRUE(backend.inputs().empty());
    jack_status_t status{};
    jack_client_t* probe = jack_client_open("cvxprobe", JackNoStartServer, &status);
    EXPECT_EQ(probe, nullptr) << "a server was started";
    if (probe != nullptr) {
        jack_client_close(probe);
    }
}

class JackBackendTest : public testing::Test {
protected:
    void SetUp() override {
        if (!JackTestServer::installed()) {
            GTEST_SKIP() << "jackd is not installed";
        }
        ASSERT_TRUE(server_.start()) << "jackd -d dummy did not come up";
        peer_ = std::make_unique<JackPeerClient>();
        ASSERT_TRUE(peer_->opened());
        ASSERT_TRUE(backend_.start(host_));
    }
    void TearDown() override {
        backend_.stop();
        peer_.reset();
        server_.stop();
    }

    uint64_t peerOutKey() {
        return keyOfEndpointNamed(backend_.inputs(), JackPeerClient::kOutName);
    }
    uint64_t peerInKey() { return keyOfEndpointNamed(backend_.outputs(), JackPeerClient::kInName); }

    JackTestServer server_;
    CountingHost host_;
    JackBackend backend_;
    std::unique_ptr<JackPeerClient> peer_;
};

TEST_F(JackBackendTest, ListsTheMidiPortsOfOtherClientsOnly) {
    EXPECT_TRUE(hasEndpointNamed(backend_.inputs(), JackPeerClient::kOutName));
    EXPECT_TRUE(hasEndpointNamed(backend_.outputs(), JackPeerClient::kInName));
    EXPECT_FALSE(hasEndpointNamed(backend_.inputs(), JackPeerClient::kInName));

    RecordingSink sink;
    ASSERT_EQ(backend_.openInput(peerOutKey(), sink), MMSYSERR_NOERROR);
    ASSERT_EQ(backend_.openOutput(peerInKey()), MMSYSERR_NOERROR);
    for (const auto& list : {backend_.inputs(), backend_.outputs()}) {
        EXPECT_EQ(list.size(), 1u); // the dummy driver's system ports are audio
        for (const EndpointInfo& endpoint : list) {
            EXPECT_EQ(endpoint.name.rfind("cvxpeer:", 0), 0u) << endpoint.name;
        }
    }
    EXPECT_EQ(backend_.openInput(peerOutKey(), sink), MMSYSERR_ALLOCATED);
    EXPECT_EQ(backend_.openOutput(peerOutKey()), MMSYSERR_NODRIVER);
}

TEST_F(JackBackendTest, ShortMessagesTravelBothWaysWithRisingTimes) {
    const uint64_t output = peerInKey();
    ASSERT_EQ(backend_.openOutput(output), MMSYSERR_NOERROR);
    const Bytes messages[] = {{0x90, 0x3C, 0x64}, {0xC1, 0x05}, {0xE2, 0x00, 0x40}, {0xF8}};
    Bytes sent;
    for (const Bytes& message : messages) {
        EXPECT_EQ(backend_.send(output, message.data(), message.size()), MMSYSERR_NOERROR);
        sent.insert(sent.end(), message.begin(), message.end());
    }
    EXPECT_TRUE(eventually([&] { return peer_->received().size() >= sent.size(); }));
    EXPECT_EQ(peer_->received(), sent);

    RecordingSink sink;
    ASSERT_EQ(backend_.openInput(peerOutKey(), sink), MMSYSERR_NOERROR);
    const uint32_t before = timeGetTime();
    ASSERT_TRUE(peer_->send({0x91, 0x40, 0x7F}));
    ASSERT_TRUE(sink.waitForBytes(3));
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    ASSERT_TRUE(peer_->send({0x81, 0x40, 0x00}));
    ASSERT_TRUE(sink.waitForBytes(6));
    const uint32_t after = timeGetTime();

    const auto arrivals = sink.arrivals();
    ASSERT_EQ(arrivals.size(), 2u);
    EXPECT_EQ(arrivals[0].bytes, (Bytes{0x91, 0x40, 0x7F}));
    EXPECT_EQ(arrivals[1].bytes, (Bytes{0x81, 0x40, 0x00}));
    EXPECT_GE(arrivals[1].arrivalMs - arrivals[0].arrivalMs, 30u);
    // An event is stamped with the start of the cycle that carried it, which may be up to
    // one period (1024 frames at 48 kHz, 21 ms) before it was sent.
    constexpr uint32_t kOnePeriodMs = 25;
    for (const auto& arrival : arrivals) {
        EXPECT_LE(arrival.arrivalMs - (before - kOnePeriodMs), after - (before - kOnePeriodMs));
    }
}

TEST_F(JackBackendTest, SysExOf3000BytesTravelsBothWays) {
    const Bytes sysex = sysExOf(3000);
    const uint64_t output = peerInKey();
    ASSERT_EQ(backend_.openOutput(output), MMSYSERR_NOERROR);
    EXPECT_EQ(backend_.send(output, sysex.data(), sysex.size()), MMSYSERR_NOERROR);
    EXPECT_TRUE(eventually([&] { return peer_->received().size() >= sysex.size(); }));
    EXPECT_EQ(peer_->received(), sysex);

    RecordingSink sink;
    ASSERT_EQ(backend_.openInput(peerOutKey(), sink), MMSYSERR_NOERROR);
    ASSERT_TRUE(peer_->send(sysex));
    ASSERT_TRUE(sink.waitForBytes(sysex.size()));
    EXPECT_EQ(sink.bytes(), sysex);
}

TEST_F(JackBackendTest, APortThatGoesAndComesBackIsRemovalAndArrival) {
    const uint64_t key = peerOutKey();
    RecordingSink sink;
    ASSERT_EQ(backend_.openInput(key, sink), MMSYSERR_NOERROR);

    const int beforeRemoval = host_.changes();
    peer_->unregisterOut();
    EXPECT_TRUE(eventually([&] { return host_.changes() > beforeRemoval; }));
    EXPECT_FALSE(hasEndpointNamed(backend_.inputs(), JackPeerClient::kOutName));
    backend_.closeInput(key);
    EXPECT_EQ(backend_.openInput(key, sink), MMSYSERR_NODRIVER);

    const int beforeArrival = host_.changes();
    peer_->registerOut();
    EXPECT_TRUE(eventually([&] { return host_.changes() > beforeArrival; }));
    const uint64_t again = peerOutKey();
    EXPECT_NE(again, 0u);
    EXPECT_NE(again, key);
    ASSERT_EQ(backend_.openInput(again, sink), MMSYSERR_NOERROR);
    ASSERT_TRUE(peer_->send({0xFA}));
    EXPECT_TRUE(sink.waitForBytes(1));
}

TEST_F(JackBackendTest, TheServerVanishingWhileDevicesAreOpenLeavesNoDevices) {
    RecordingSink sink;
    const uint64_t input = peerOutKey();
    const uint64_t output = peerInKey();
    ASSERT_EQ(backend_.openInput(input, sink), MMSYSERR_NOERROR);
    ASSERT_EQ(backend_.openOutput(output), MMSYSERR_NOERROR);
    const int before = host_.changes();

    server_.kill();
    EXPECT_TRUE(eventually([&] { return host_.changes() > before; }));
    EXPECT_TRUE(backend_.inputs().empty());
    EXPECT_TRUE(backend_.outputs().empty());
    const uint8_t clock = 0xF8;
    EXPECT_EQ(backend_.send(output, &clock, 1), MMSYSERR_NODRIVER);
    backend_.closeInput(input);
    backend_.closeOutput(output);
}

} // namespace
} // namespace cvx::platform
