// The JACK backend under the engine: a JACK input routed through the engine's port map to a
// JACK output, opened and fed with buffers through the engine's own calls.
#include "backend_test_doubles.h"
#include "cvx_platform.h"
#include "cvxcore.h"
#include "platform/backend_factories.h"
#include "platform/midi_service.h"
#include "support/jack_peer_client.h"
#include "support/jack_test_server.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <numeric>

namespace cvx::platform {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint16_t kPeerDevice = 1; // after "Corvex Loopback 1"
constexpr uint32_t kEverything =
    CVX_ROUTE_SYSEX | CVX_ROUTE_REALTIME | CVX_ROUTE_SYSTEM_COMMON | 0xFFFFu;
constexpr uint16_t kSysExBufferBytes = 4096;

// The main window: keeps the input SysEx buffers the engine lends (WM_CVX_SYSEXDATA), so
// that they go back before the input closes, as the application does.
class LentBuffers {
public:
    static void post(void* user, uint32_t msg, uintptr_t, intptr_t header) {
        auto* self = static_cast<LentBuffers*>(user);
        if (msg == WM_CVX_SYSEXDATA) {
            const size_t index = self->count_++;
            if (index < self->headers_.size()) {
                self->headers_[index].store(static_cast<uint64_t>(header));
            }
        }
    }
    void giveBack(HMIDIIN input) {
        const size_t count = std::min<size_t>(count_, headers_.size());
        for (size_t index = 0; index < count; ++index) {
            m32RetBuf(input, headers_[index].load());
        }
        count_ = 0;
    }

private:
    std::array<std::atomic<uint64_t>, 64> headers_{}; // written on the input thread
    std::atomic<size_t> count_{0};
};

class JackEngineTest : public testing::Test {
protected:
    void SetUp() override {
        if (!JackTestServer::installed()) {
            GTEST_SKIP() << "jackd is not installed";
        }
        ASSERT_TRUE(server_.start()) << "jackd -d dummy did not come up";
        peer_ = std::make_unique<JackPeerClient>();
        ASSERT_TRUE(peer_->opened());
        setenv("CORVEX_MIDI", "virtual,jack", 1);
        setenv("CORVEX_LOOPBACKS", "1", 1);
        MidiService::restartFromEnvironment();
        window_ = cvxWindowCreate(&LentBuffers::post, &lent_);
        client_ = m32CreateClient(window_, nullptr, &filter_);
        ASSERT_NE(client_, 0u);
    }
    void TearDown() override {
        if (input_ != nullptr) {
            lent_.giveBack(input_);
            m32CloseMidiIn(input_, client_);
        }
        if (output_ != nullptr) {
            m32CloseMidiOut(output_, client_);
        }
        if (client_ != 0) {
            m32DestroyClient(client_);
        }
        cvxWindowDestroy(window_);
        std::vector<std::unique_ptr<MidiBackend>> virtualOnly;
        virtualOnly.push_back(makeVirtualBackend());
        MidiService::restartWith(std::move(virtualOnly));
        unsetenv("CORVEX_MIDI");
        unsetenv("CORVEX_LOOPBACKS");
        peer_.reset();
        server_.stop();
    }

    // The peer's output, through the engine, back to the peer's input.
    void routePeerThroughTheEngine() {
        ASSERT_EQ(vx16OpenMidiIn(&input_, kPeerDevice, client_), MMSYSERR_NOERROR);
        ASSERT_EQ(m32AllocSyxBufIn(input_, client_, kSysExBufferBytes), 1);
        ASSERT_EQ(m32AllocSyxBufIn(input_, client_, kSysExBufferBytes), 1);
        ASSERT_EQ(m32StartMidiIn(input_), MMSYSERR_NOERROR);
        CPortMap map{};
        map.inputBits[0] = 1u << kPeerDevice;
        map.inputMasks[kPeerDevice] = kEverything;
        ASSERT_EQ(vx16OpenMidiOut(&output_, kPeerDevice, 0, &map, client_), MMSYSERR_NOERROR);
        ASSERT_EQ(m32AllocSyxBufOut(output_, client_, kSysExBufferBytes), 1);
        ASSERT_EQ(m32AllocSyxBufOut(output_, client_, kSysExBufferBytes), 1);
    }

    // Time stamps of the main queue's records of what was sent on.
    std::vector<uint32_t> sentTimeStamps() {
        std::vector<uint32_t> stamps;
        EVENT event{};
        while (m32GetEvent(client_, &event, MON_MAIN) != 0) {
            if (event.outPort != 0 && (event.message >> 24) != CVX_ORIGIN_CHUNK) {
                stamps.push_back(event.timestamp);
            }
        }
        return stamps;
    }

    JackTestServer server_;
    std::unique_ptr<JackPeerClient> peer_;
    CFilter filter_{};
    LentBuffers lent_;
    HWND window_ = nullptr;
    uint64_t client_ = 0;
    HMIDIIN input_ = nullptr;
    HMIDIOUT output_ = nullptr;
};

TEST_F(JackEngineTest, RoutedJackInputReachesTheJackOutputWithRisingTimeStamps) {
    routePeerThroughTheEngine();
    ASSERT_TRUE(peer_->send({0x90, 0x3C, 0x64}));
    ASSERT_TRUE(eventually([&] { return peer_->received().size() >= 3; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    ASSERT_TRUE(peer_->send({0x80, 0x3C, 0x00}));
    ASSERT_TRUE(eventually([&] { return peer_->received().size() >= 6; }));
    EXPECT_EQ(peer_->received(), (Bytes{0x90, 0x3C, 0x64, 0x80, 0x3C, 0x00}));

    std::vector<uint32_t> stamps;
    ASSERT_TRUE(eventually([&] {
        const std::vector<uint32_t> more = sentTimeStamps();
        stamps.insert(stamps.end(), more.begin(), more.end());
        return stamps.size() >= 2;
    }));
    EXPECT_GE(stamps[1] - stamps[0], 30u);
}

TEST_F(JackEngineTest, RoutedJackSysExOf3000BytesReachesTheJackOutput) {
    routePeerThroughTheEngine();
    Bytes sysex(3000);
    std::iota(sysex.begin(), sysex.end(), uint8_t{0});
    for (uint8_t& byte : sysex) {
        byte &= 0x7F;
    }
    sysex.front() = 0xF0;
    sysex.back() = 0xF7;
    ASSERT_TRUE(peer_->send(sysex));
    EXPECT_TRUE(eventually([&] { return peer_->received().size() >= sysex.size(); }));
    EXPECT_EQ(peer_->received(), sysex);
}

} // namespace
} // namespace cvx::platform
