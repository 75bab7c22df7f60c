// JACK input → routing → JACK output, SysEx both ways, and the engine's timers, with a
// private `jackd -d dummy`: the JACK process callbacks, the backend's threads and the
// service's input thread allocate nothing.
#include "backend_test_doubles.h"
#include "engine_round_trip.h"
#include "support/allocation_counter.h"
#include "support/jack_peer_client.h"
#include "support/jack_test_server.h"

#include <chrono>
#include <memory>
#include <thread>

namespace cvx::test {
namespace {

using platform::JackPeerClient;
using platform::JackTestServer;

class JackAllocationTest : public EngineRoundTrip {
protected:
    void SetUp() override {
        if (!allocationCountingAvailable()) {
            GTEST_SKIP() << "sanitizer build: the sanitizer owns the allocator";
        }
        if (!JackTestServer::installed()) {
            GTEST_SKIP() << "jackd is not installed";
        }
        ASSERT_TRUE(server_.start()) << "jackd -d dummy did not come up";
        peer_ = std::make_unique<JackPeerClient>();
        ASSERT_TRUE(peer_->opened());
        startEngine("virtual,jack");
    }
    void TearDown() override {
        EngineRoundTrip::TearDown();
        peer_.reset();
        server_.stop();
    }

    // The peer sends every message; true once it has received `expected` bytes in all.
    bool roundTrip(const std::vector<Bytes>& messages, size_t expected) {
        for (const Bytes& message : messages) {
            if (!peer_->send(message)) {
                return false;
            }
        }
        return platform::eventually([&] { return peer_->received().size() >= expected; });
    }

    JackTestServer server_;
    std::unique_ptr<JackPeerClient> peer_;
};

TEST_F(JackAllocationTest, RoutedJackTrafficDoesNotAllocate) {
    ASSERT_TRUE(routeThrough(JackPeerClient::kOutName, JackPeerClient::kInName));
    const std::vector<Bytes> traffic = mixedTraffic(40);
    const size_t bytes = totalBytes(traffic);
    ASSERT_TRUE(roundTrip(traffic, bytes)); // warm-up: lazily made parts exist now
    returnLentBuffers();

    AllocationWindow window;
    {
        ExemptThread self; // sending, polling and waiting are the test's own work
        ASSERT_TRUE(roundTrip(traffic, 2 * bytes));
        std::this_thread::sleep_for(std::chrono::milliseconds(kTimersSettleMs));
    }
    EXPECT_EQ(window.count(), 0u) << "run with CVX_ALLOC_TRACE=1 to see where";
    EXPECT_EQ(peer_->received().size(), 2 * bytes);
}

TEST_F(JackAllocationTest, GeneratorsAndTheSysExPumpSendingToJackDoNotAllocate) {
    ASSERT_TRUE(openGeneratedOutput(JackPeerClient::kInName));
    constexpr uint16_t kSysExBytes = 2000;
    startGeneratedTraffic(kSysExBytes); // warm-up
    ASSERT_TRUE(platform::eventually([&] { return peer_->received().size() > kSysExBytes; }));

    AllocationWindow window;
    size_t before = 0;
    {
        ExemptThread self; // queueing the SysEx and polling are the application's work
        before = peer_->received().size();
        startGeneratedTraffic(kSysExBytes);
        ASSERT_TRUE(platform::eventually(
            [&] { return peer_->received().size() > before + kSysExBytes + 20; }));
    }
    EXPECT_EQ(window.count(), 0u) << "run with CVX_ALLOC_TRACE=1 to see where";
}

} // namespace
} // namespace cvx::test
