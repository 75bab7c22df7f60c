#include "alsa_peer_client.h"
#include "backend_test_doubles.h"
#include "platform/alsa/alsa_backend.h"
#include "platform/alsa/alsa_event_translation.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace cvx::platform {
namespace {

bool sequencerPresent() {
    return access("/dev/snd/seq", R_OK | W_OK) == 0;
}

TEST(AlsaBackend, DoesNotStartWithoutASequencer) {
    if (sequencerPresent()) {
        GTEST_SKIP() << "this machine has an ALSA sequencer (/dev/snd/seq)";
    }
    CountingHost host;
    AlsaBackend backend;
    EXPECT_FALSE(backend.start(host));
    EXPECT_TRUE(backend.inputs().empty());
    EXPECT_TRUE(backend.outputs().empty());
}

class AlsaBackendWithPeer : public testing::Test {
protected:
    void SetUp() override {
        if (!sequencerPresent()) {
            GTEST_SKIP() << "no ALSA sequencer here (/dev/snd/seq is absent)";
        }
        ASSERT_TRUE(backend_.start(host_));
        peer_ = std::make_unique<AlsaPeerClient>();
        ASSERT_TRUE(eventually([&] { return hasEndpointNamed(backend_.inputs(), kPeerName); }));
    }
    void TearDown() override { backend_.stop(); }

    static constexpr const char* kPeerName = AlsaPeerClient::kEndpointName;
    CountingHost host_;
    AlsaBackend backend_;
    std::unique_ptr<AlsaPeerClient> peer_;
};

TEST_F(AlsaBackendWithPeer, ShortMessagesAndSysExTravelBothWays) {
    EXPECT_TRUE(hasEndpointNamed(backend_.outputs(), kPeerName));
    const uint64_t output = keyOfEndpointNamed(backend_.outputs(), kPeerName);
    ASSERT_EQ(backend_.openOutput(output), MMSYSERR_NOERROR);
    for (const EndpointInfo& endpoint : backend_.inputs()) {
        EXPECT_NE(endpoint.name.rfind("Corvex:", 0), 0u) << endpoint.name;
    }
    const std::vector<uint8_t> note = {0x91, 0x3C, 0x64};
    EXPECT_EQ(backend_.send(output, note.data(), note.size()), MMSYSERR_NOERROR);
    EXPECT_EQ(peer_->receive(note.size()), note);
    std::vector<uint8_t> sysex(3000, 0x55);
    sysex.front() = 0xF0;
    sysex.back() = 0xF7;
    EXPECT_EQ(backend_.send(output, sysex.data(), sysex.size()), MMSYSERR_NOERROR);
    EXPECT_EQ(peer_->receive(sysex.size()), sysex);

    const uint64_t input = keyOfEndpointNamed(backend_.inputs(), kPeerName);
    RecordingSink sink;
    ASSERT_EQ(backend_.openInput(input, sink), MMSYSERR_NOERROR);
    snd_seq_event_t event;
    ASSERT_TRUE(wireToAlsaEvent(std::vector<uint8_t>{0xE2, 0x00, 0x40}, event));
    peer_->sendToSubscribers(event);
    ASSERT_TRUE(sink.waitForBytes(3));
    EXPECT_EQ(sink.bytes(), (std::vector<uint8_t>{0xE2, 0x00, 0x40}));
    backend_.closeInput(input);
    backend_.closeOutput(output);
}

TEST_F(AlsaBackendWithPeer, APortThatGoesAndComesBackIsRemovalAndArrival) {
    const uint64_t key = keyOfEndpointNamed(backend_.outputs(), kPeerName);
    ASSERT_EQ(backend_.openOutput(key), MMSYSERR_NOERROR);
    const int before = host_.changes();
    peer_->deletePort();
    ASSERT_TRUE(eventually([&] { return !hasEndpointNamed(backend_.outputs(), kPeerName); }));
    EXPECT_TRUE(eventually([&] { return host_.changes() > before; }));
    const uint8_t clock = 0xF8;
    EXPECT_TRUE(eventually([&] { return backend_.send(key, &clock, 1) == MMSYSERR_NODRIVER; }));

    peer_->createPort();
    ASSERT_TRUE(eventually([&] { return hasEndpointNamed(backend_.outputs(), kPeerName); }));
    EXPECT_NE(keyOfEndpointNamed(backend_.outputs(), kPeerName), key);
    backend_.closeOutput(key);
}

TEST_F(AlsaBackendWithPeer, AFullDestinationFailsTheSendAtOnceAndCountsAnOverrun) {
    peer_->setInputPool(8); // and the peer does not read
    const uint64_t output = keyOfEndpointNamed(backend_.outputs(), kPeerName);
    ASSERT_EQ(backend_.openOutput(output), MMSYSERR_NOERROR);
    EXPECT_EQ(backend_.outputOverruns(output), 0u);
    const std::vector<uint8_t> note = {0x90, 0x3C, 0x64};
    uint64_t refused = 0;
    for (int i = 0; i < 200; ++i) {
        const MMRESULT result = backend_.send(output, note.data(), note.size());
        ASSERT_TRUE(result == MMSYSERR_NOERROR || result == MIDIERR_NOTREADY) << result;
        refused += result == MIDIERR_NOTREADY ? 1 : 0;
    }
    EXPECT_GT(refused, 0u);
    EXPECT_EQ(backend_.outputOverruns(output), refused);
    backend_.closeOutput(output);
    ASSERT_EQ(backend_.openOutput(output), MMSYSERR_NOERROR);
    EXPECT_EQ(backend_.outputOverruns(output), refused) << "kept across closing";
    backend_.closeOutput(output);
}

} // namespace
} // namespace cvx::platform
