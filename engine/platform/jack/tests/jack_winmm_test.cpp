// The JACK backend behind the WINMM-shaped calls of the MIDI service: device numbering
// after the loopback cable, short and long messages both ways, time stamps, hot-plug and
// the server going away.
#include "backend_test_doubles.h"
#include "cvx_devices.h"
#include "cvx_platform.h"
#include "platform/backend_factories.h"
#include "platform/midi_service.h"
#include "support/jack_peer_client.h"
#include "support/jack_test_server.h"

#include <gtest/gtest.h>

#include <cstring>
#include <numeric>

namespace cvx::platform {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr UINT kPeerDevice = 1; // after "Corvex Loopback 1"

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

// What an input's callback was given.
class InputLog {
public:
    static void callback(HMIDIIN, UINT msg, DWORD_PTR instance, DWORD_PTR param1,
                         DWORD_PTR param2) {
        auto* log = reinterpret_cast<InputLog*>(instance);
        std::lock_guard lock(log->mutex_);
        if (msg == MIM_DATA) {
            log->shortMessages_.push_back({param1, param2});
        } else if (msg == MIM_LONGDATA) {
            const auto* header = reinterpret_cast<const MIDIHDR*>(param1);
            log->sysex_.insert(log->sysex_.end(), header->lpData,
                               header->lpData + header->dwBytesRecorded);
        }
    }
    DWORD_PTR instance() { return reinterpret_cast<DWORD_PTR>(this); }

    // (packed message, time stamp) of each MIM_DATA.
    std::vector<std::pair<DWORD_PTR, DWORD_PTR>> shortMessages() {
        std::lock_guard lock(mutex_);
        return shortMessages_;
    }
    Bytes sysex() {
        std::lock_guard lock(mutex_);
        return sysex_;
    }

private:
    std::mutex mutex_;
    std::vector<std::pair<DWORD_PTR, DWORD_PTR>> shortMessages_;
    Bytes sysex_;
};

std::string inputName(UINT device) {
    char name[256] = {};
    cvxMidiInGetName(device, name, sizeof name);
    return name;
}

class JackWinmmTest : public testing::Test {
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
    }
    void TearDown() override {
        cvxMidiSetDeviceChangeCallback(nullptr, nullptr);
        std::vector<std::unique_ptr<MidiBackend>> virtualOnly;
        virtualOnly.push_back(makeVirtualBackend());
        MidiService::restartWith(std::move(virtualOnly));
        unsetenv("CORVEX_MIDI");
        unsetenv("CORVEX_LOOPBACKS");
        peer_.reset();
        server_.stop();
    }

    JackTestServer server_;
    std::unique_ptr<JackPeerClient> peer_;
};

TEST_F(JackWinmmTest, JackDevicesFollowTheLoopbackAndTheMapperAliasesThem) {
    ASSERT_EQ(midiInGetNumDevs(), 2u);
    ASSERT_EQ(midiOutGetNumDevs(), 2u);
    EXPECT_EQ(inputName(0), "Corvex Loopback 1");
    EXPECT_EQ(inputName(kPeerDevice), JackPeerClient::kOutName);
    char backend[16] = {};
    ASSERT_EQ(cvxMidiOutGetBackend(kPeerDevice, backend, sizeof backend), MMSYSERR_NOERROR);
    EXPECT_STREQ(backend, "jack");
    MIDIOUTCAPS caps{};
    ASSERT_EQ(midiOutGetDevCaps(kPeerDevice, &caps, sizeof caps), MMSYSERR_NOERROR);
    EXPECT_STREQ(caps.szPname, JackPeerClient::kInName);

    HMIDIOUT mapper = nullptr;
    ASSERT_EQ(midiOutOpen(&mapper, MIDI_MAPPER, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    EXPECT_EQ(midiOutShortMsg(mapper, 0x644090), MMSYSERR_NOERROR);
    EXPECT_EQ(midiOutShortMsg(mapper, 0x006441), MMSYSERR_NOERROR); // running status
    EXPECT_TRUE(eventually([&] { return peer_->received().size() >= 6; }));
    EXPECT_EQ(peer_->received(), (Bytes{0x90, 0x40, 0x64, 0x90, 0x41, 0x64}));
    EXPECT_EQ(midiOutClose(mapper), MMSYSERR_NOERROR);
}

TEST_F(JackWinmmTest, InputDeliversShortMessagesAndSysExWithRisingTimeStamps) {
    InputLog log;
    HMIDIIN input = nullptr;
    ASSERT_EQ(midiInOpen(&input, kPeerDevice, reinterpret_cast<DWORD_PTR>(&InputLog::callback),
                         log.instance(), CALLBACK_FUNCTION),
              MMSYSERR_NOERROR);
    std::vector<char> storage(2 * 2048);
    MIDIHDR headers[2] = {};
    for (int index = 0; index < 2; ++index) {
        headers[index].lpData = storage.data() + index * 2048;
        headers[index].dwBufferLength = 2048;
        ASSERT_EQ(midiInPrepareHeader(input, &headers[index], sizeof(MIDIHDR)), MMSYSERR_NOERROR);
        ASSERT_EQ(midiInAddBuffer(input, &headers[index], sizeof(MIDIHDR)), MMSYSERR_NOERROR);
    }
    ASSERT_EQ(midiInStart(input), MMSYSERR_NOERROR);

    ASSERT_TRUE(peer_->send({0x91, 0x3C, 0x40}));
    ASSERT_TRUE(eventually([&] { return log.shortMessages().size() == 1; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    ASSERT_TRUE(peer_->send({0x81, 0x3C, 0x00}));
    ASSERT_TRUE(eventually([&] { return log.shortMessages().size() == 2; }));
    const auto messages = log.shortMessages();
    EXPECT_EQ(messages[0].first, 0x403C91u);
    EXPECT_EQ(messages[1].first, 0x003C81u);
    EXPECT_GE(messages[1].second - messages[0].second, 30u);

    const Bytes sysex = sysExOf(3000);
    ASSERT_TRUE(peer_->send(sysex));
    EXPECT_TRUE(eventually([&] { return log.sysex().size() >= sysex.size(); }));
    EXPECT_EQ(log.sysex(), sysex);

    EXPECT_EQ(midiInReset(input), MMSYSERR_NOERROR);
    for (MIDIHDR& header : headers) {
        EXPECT_EQ(midiInUnprepareHeader(input, &header, sizeof(MIDIHDR)), MMSYSERR_NOERROR);
    }
    EXPECT_EQ(midiInClose(input), MMSYSERR_NOERROR);
}

TEST_F(JackWinmmTest, LongMessagesGoOutWholeAndComeBackDone) {
    HMIDIOUT output = nullptr;
    ASSERT_EQ(midiOutOpen(&output, kPeerDevice, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    Bytes sysex = sysExOf(3000);
    MIDIHDR header{};
    header.lpData = reinterpret_cast<char*>(sysex.data());
    header.dwBufferLength = static_cast<DWORD>(sysex.size());
    ASSERT_EQ(midiOutPrepareHeader(output, &header, sizeof header), MMSYSERR_NOERROR);
    ASSERT_EQ(midiOutLongMsg(output, &header, sizeof header), MMSYSERR_NOERROR);
    EXPECT_TRUE(eventually([&] { return (header.dwFlags & MHDR_DONE) != 0; }));
    EXPECT_TRUE(eventually([&] { return peer_->received().size() >= sysex.size(); }));
    EXPECT_EQ(peer_->received(), sysex);
    EXPECT_EQ(midiOutUnprepareHeader(output, &header, sizeof header), MMSYSERR_NOERROR);
    EXPECT_EQ(midiOutClose(output), MMSYSERR_NOERROR);
}

TEST_F(JackWinmmTest, PortsComingAndGoingAndTheServerVanishingChangeTheDevices) {
    std::atomic<int> changes{0};
    cvxMidiSetDeviceChangeCallback([](void* user) { ++*static_cast<std::atomic<int>*>(user); },
                                   &changes);
    HMIDIOUT output = nullptr;
    ASSERT_EQ(midiOutOpen(&output, kPeerDevice, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);

    peer_->unregisterOut();
    EXPECT_TRUE(eventually([&] { return midiInGetNumDevs() == 1; }));
    peer_->registerOut();
    EXPECT_TRUE(eventually([&] { return midiInGetNumDevs() == 2; }));
    EXPECT_EQ(inputName(kPeerDevice), JackPeerClient::kOutName);
    EXPECT_GE(changes, 2);

    server_.kill();
    EXPECT_TRUE(eventually([&] { return midiOutGetNumDevs() == 1 && midiInGetNumDevs() == 1; }));
    EXPECT_EQ(midiOutShortMsg(output, 0xF8), MMSYSERR_NODRIVER);
    EXPECT_EQ(midiOutClose(output), MMSYSERR_NOERROR);
}

} // namespace
} // namespace cvx::platform
