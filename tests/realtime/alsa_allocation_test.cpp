// ALSA input → routing → ALSA output, SysEx both ways, and the engine's timers: the
// backend's reader, the service's input thread and the sends allocate nothing.
//
// Needs the kernel's sequencer (/dev/snd/seq); without it the test skips. To run it on a
// machine that has the module: `sudo modprobe snd-seq`, then
// `ctest --test-dir build -R AlsaAllocation --output-on-failure`.
#include "alsa_peer_client.h"
#include "engine_round_trip.h"
#include "support/allocation_counter.h"

#include <unistd.h>

#include <chrono>
#include <memory>
#include <thread>

namespace cvx::test {
namespace {

using platform::AlsaPeerClient;

constexpr size_t kPeerPoolCells = 2000;

class AlsaAllocationTest : public EngineRoundTrip {
protected:
    void SetUp() override {
        if (!allocationCountingAvailable()) {
            GTEST_SKIP() << "sanitizer build: the sanitizer owns the allocator";
        }
        if (access("/dev/snd/seq", R_OK | W_OK) != 0) {
            GTEST_SKIP() << "no ALSA sequencer here (/dev/snd/seq is absent): load it with "
                            "`modprobe snd-seq` and run this test again";
        }
        peer_ = std::make_unique<AlsaPeerClient>();
        peer_->setInputPool(kPeerPoolCells); // the whole burst fits while the peer polls
        startEngine("virtual,alsa");
    }
    void TearDown() override {
        EngineRoundTrip::TearDown();
        peer_.reset();
    }

    // The peer sends every message; true when the same number of bytes came back.
    bool roundTrip(const std::vector<Bytes>& messages) {
        for (const Bytes& message : messages) {
            peer_->send(message);
        }
        const size_t expected = totalBytes(messages);
        return peer_->receive(expected).size() == expected;
    }

    std::unique_ptr<AlsaPeerClient> peer_;
};

TEST_F(AlsaAllocationTest, RoutedAlsaTrafficDoesNotAllocate) {
    ASSERT_TRUE(routeThrough(AlsaPeerClient::kEndpointName, AlsaPeerClient::kEndpointName));
    const std::vector<Bytes> traffic = mixedTraffic(40);
    ASSERT_TRUE(roundTrip(traffic)); // warm-up: lazily made parts exist now
    returnLentBuffers();

    AllocationWindow window;
    {
        ExemptThread self; // sending, polling and waiting are the test's own work
        ASSERT_TRUE(roundTrip(traffic));
        std::this_thread::sleep_for(std::chrono::milliseconds(kTimersSettleMs));
    }
    EXPECT_EQ(window.count(), 0u) << "run with CVX_ALLOC_TRACE=1 to see where";
}

TEST_F(AlsaAllocationTest, GeneratorsAndTheSysExPumpSendingToAlsaDoNotAllocate) {
    ASSERT_TRUE(openGeneratedOutput(AlsaPeerClient::kEndpointName));
    constexpr uint16_t kSysExBytes = 2000;
    startGeneratedTraffic(kSysExBytes); // warm-up
    ASSERT_GT(peer_->receive(kSysExBytes + 1).size(), kSysExBytes);

    AllocationWindow window;
    {
        ExemptThread self; // queueing the SysEx and receiving are the application's work
        startGeneratedTraffic(kSysExBytes);
        ASSERT_GE(peer_->receive(kSysExBytes + 20).size(), kSysExBytes + 20u);
    }
    EXPECT_EQ(window.count(), 0u) << "run with CVX_ALLOC_TRACE=1 to see where";
}

} // namespace
} // namespace cvx::test
