// What the tests through the WINMM-shaped calls do not see: starting without a server, which
// ports count as endpoints, opening errors, and keys of ports that come back.
#include "backend_test_doubles.h"
#include "jack_peer_client.h"
#include "jack_test_server.h"
#include "platform/jack/jack_backend.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace cvx::platform {
namespace {

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

} // namespace
} // namespace cvx::platform
