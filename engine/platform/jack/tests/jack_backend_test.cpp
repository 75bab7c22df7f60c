// What the tests through the WINMM-shaped calls do not see: starting without a server, which
// ports count as endpoints, opening errors, keys of ports that come back, running out of
// memory, input lost to a full ring, and senders racing each other and a closing.
#include "backend_test_doubles.h"
#include "platform/jack/jack_backend.h"
#include "support/jack_peer_client.h"
#include "support/jack_test_server.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <csignal>
#include <new>
#include <thread>

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
        startBackend({});
    }
    void TearDown() override {
        backend_.reset();
        peer_.reset();
        server_.stop();
    }

    void startBackend(JackRingOptions rings) {
        backend_.reset();
        backend_ = std::make_unique<JackBackend>(std::move(rings));
        ASSERT_TRUE(backend_->start(host_));
    }

    // The ports of the backend's own client that the server knows.
    size_t ownPorts() {
        jack_client_t* probe = nullptr;
        // A busy server now and then fails an opening half way.
        for (int attempt = 0; probe == nullptr && attempt < 5; ++attempt) {
            jack_status_t status{};
            probe = jack_client_open("cvxprobe", JackNoStartServer, &status);
            if (probe == nullptr) {
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
            }
        }
        if (probe == nullptr) {
            ADD_FAILURE() << "no probe client";
            return 0;
        }
        size_t count = 0;
        if (const char** names = jack_get_ports(probe, "^Corvex:", nullptr, 0)) {
            while (names[count] != nullptr) {
                ++count;
            }
            jack_free(static_cast<void*>(names));
        }
        jack_client_close(probe);
        return count;
    }

    uint64_t peerOutKey() {
        return keyOfEndpointNamed(backend_->inputs(), JackPeerClient::kOutName);
    }
    uint64_t peerInKey() {
        return keyOfEndpointNamed(backend_->outputs(), JackPeerClient::kInName);
    }

    JackTestServer server_;
    CountingHost host_;
    std::unique_ptr<JackBackend> backend_;
    std::unique_ptr<JackPeerClient> peer_;
};

TEST_F(JackBackendTest, ListsTheMidiPortsOfOtherClientsOnly) {
    EXPECT_TRUE(hasEndpointNamed(backend_->inputs(), JackPeerClient::kOutName));
    EXPECT_TRUE(hasEndpointNamed(backend_->outputs(), JackPeerClient::kInName));
    EXPECT_FALSE(hasEndpointNamed(backend_->inputs(), JackPeerClient::kInName));

    RecordingSink sink;
    ASSERT_EQ(backend_->openInput(peerOutKey(), sink), MMSYSERR_NOERROR);
    ASSERT_EQ(backend_->openOutput(peerInKey()), MMSYSERR_NOERROR);
    for (const auto& list : {backend_->inputs(), backend_->outputs()}) {
        EXPECT_EQ(list.size(), 1u); // the dummy driver's system ports are audio
        for (const EndpointInfo& endpoint : list) {
            EXPECT_EQ(endpoint.name.rfind("cvxpeer:", 0), 0u) << endpoint.name;
        }
    }
    EXPECT_EQ(backend_->openInput(peerOutKey(), sink), MMSYSERR_ALLOCATED);
    EXPECT_EQ(backend_->openOutput(peerOutKey()), MMSYSERR_NODRIVER);
}

TEST_F(JackBackendTest, APortThatGoesAndComesBackIsRemovalAndArrival) {
    const uint64_t key = peerOutKey();
    RecordingSink sink;
    ASSERT_EQ(backend_->openInput(key, sink), MMSYSERR_NOERROR);

    const int beforeRemoval = host_.changes();
    peer_->unregisterOut();
    EXPECT_TRUE(eventually([&] { return host_.changes() > beforeRemoval; }));
    EXPECT_FALSE(hasEndpointNamed(backend_->inputs(), JackPeerClient::kOutName));
    backend_->closeInput(key);
    EXPECT_EQ(backend_->openInput(key, sink), MMSYSERR_NODRIVER);

    const int beforeArrival = host_.changes();
    peer_->registerOut();
    EXPECT_TRUE(eventually([&] { return host_.changes() > beforeArrival; }));
    const uint64_t again = peerOutKey();
    EXPECT_NE(again, 0u);
    EXPECT_NE(again, key);
    ASSERT_EQ(backend_->openInput(again, sink), MMSYSERR_NOERROR);
    ASSERT_TRUE(peer_->send({0xFA}));
    EXPECT_TRUE(sink.waitForBytes(1));
}

TEST_F(JackBackendTest, ARingThatCannotBeAllocatedFailsTheOpeningAndLeavesNoPort) {
    auto failing = std::make_shared<std::atomic<bool>>(true);
    JackRingOptions rings;
    rings.make = [failing](size_t bytes) {
        if (*failing) {
            throw std::bad_alloc();
        }
        return std::make_unique<JackMidiRing>(bytes);
    };
    startBackend(std::move(rings));
    RecordingSink sink;
    EXPECT_EQ(backend_->openInput(peerOutKey(), sink), MMSYSERR_NOMEM);
    EXPECT_EQ(backend_->openOutput(peerInKey()), MMSYSERR_NOMEM);
    EXPECT_EQ(ownPorts(), 0u);
    const uint8_t note[] = {0x90, 0x3C, 0x40};
    EXPECT_EQ(backend_->send(peerInKey(), note, sizeof note), MMSYSERR_INVALHANDLE);

    // Nothing stays reserved: with memory back, the same endpoints open and carry data.
    *failing = false;
    ASSERT_EQ(backend_->openInput(peerOutKey(), sink), MMSYSERR_NOERROR);
    ASSERT_EQ(backend_->openOutput(peerInKey()), MMSYSERR_NOERROR);
    EXPECT_EQ(ownPorts(), 2u);
    ASSERT_EQ(backend_->send(peerInKey(), note, sizeof note), MMSYSERR_NOERROR);
    EXPECT_TRUE(eventually([&] { return peer_->received().size() == sizeof note; }));
    ASSERT_TRUE(peer_->send({0xFA}));
    EXPECT_TRUE(sink.waitForBytes(1));
}

// Holds the worker inside the first delivery until released.
class HeldSink final : public InputSink {
public:
    void receive(const uint8_t*, size_t, uint32_t) override {
        std::unique_lock lock(mutex_);
        ++received_;
        changed_.notify_all();
        changed_.wait(lock, [&] { return released_; });
    }
    void countOverrun(uint32_t deliveries) override { overruns_ += deliveries; }

    bool waitUntilHeld() {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(10), [&] { return received_ > 0; });
    }
    void release() {
        std::lock_guard lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }
    int received() {
        std::lock_guard lock(mutex_);
        return received_;
    }
    uint32_t overruns() const { return overruns_; }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int received_ = 0;
    bool released_ = false;
    std::atomic<uint32_t> overruns_{0};
};

TEST_F(JackBackendTest, InputThatDoesNotFitTheRingIsCountedEventByEvent) {
    JackRingOptions rings;
    rings.inputBytes = 256;
    startBackend(rings);
    const std::vector<uint8_t> note = {0x90, 0x3C, 0x40};
    const int fitting =
        int(JackMidiRing(rings.inputBytes).capacity() / (JackMidiRing::kRecordOverhead + 3));
    constexpr int kSent = 200;

    HeldSink sink;
    const uint64_t key = peerOutKey();
    ASSERT_EQ(backend_->openInput(key, sink), MMSYSERR_NOERROR);
    struct LetGo { // also when an assertion ends the test early, before the sink goes
        HeldSink& sink;
        JackBackend& backend;
        uint64_t key;
        ~LetGo() {
            sink.release();
            backend.closeInput(key);
        }
    } letGo{sink, *backend_, key};
    ASSERT_TRUE(peer_->send(note));
    ASSERT_TRUE(sink.waitUntilHeld()); // the ring is empty, the worker stuck in delivery
    for (int sent = 0; sent < kSent; ++sent) {
        ASSERT_TRUE(peer_->send(note));
    }
    EXPECT_TRUE(eventually([&] { return sink.overruns() >= uint32_t(kSent - fitting); }));
    sink.release();
    EXPECT_TRUE(eventually([&] { return sink.received() == 1 + fitting; }));
    EXPECT_EQ(sink.overruns(), uint32_t(kSent - fitting));
}

TEST_F(JackBackendTest, AFullOutputRingRefusesAtOnceAndSendsAllItTook) {
    JackRingOptions rings;
    rings.outputBytes = 64;
    startBackend(rings);
    const uint64_t key = peerInKey();
    ASSERT_EQ(backend_->openOutput(key), MMSYSERR_NOERROR);
    std::vector<uint8_t> taken;
    int refused = 0;
    for (uint8_t count = 0; count < 100; ++count) {
        const uint8_t note[] = {0x90, count, 0x40};
        const MMRESULT result = backend_->send(key, note, sizeof note);
        if (result == MMSYSERR_NOERROR) {
            taken.insert(taken.end(), note, note + sizeof note);
        } else {
            EXPECT_EQ(result, MIDIERR_NOTREADY);
            ++refused;
        }
    }
    EXPECT_GT(refused, 0);
    EXPECT_TRUE(eventually([&] { return peer_->received().size() >= taken.size(); }));
    EXPECT_EQ(peer_->received(), taken);
}

// Note Offs sent just before the port closes (a player that ends) still reach the peer.
TEST_F(JackBackendTest, ClosingAnOutputDeliversWhatWasSentToItFirst) {
    const uint64_t key = peerInKey();
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(backend_->openOutput(key), MMSYSERR_NOERROR);
        std::vector<uint8_t> sent;
        for (uint8_t note = 0; note < 120; ++note) {
            const uint8_t off[] = {0x80, note, 0};
            ASSERT_EQ(backend_->send(key, off, sizeof off), MMSYSERR_NOERROR);
            sent.insert(sent.end(), off, off + sizeof off);
        }
        const size_t before = peer_->received().size();
        backend_->closeOutput(key);
        const std::vector<uint8_t> received = peer_->received();
        ASSERT_EQ(received.size(), before + sent.size()) << "round " << round;
        EXPECT_TRUE(std::equal(sent.begin(), sent.end(), received.begin() + long(before)));
    }
    EXPECT_EQ(backend_->undeliveredOnClose(), 0u);
}

// A server that stops serving while messages wait: closing gives up on them after its
// grace period and counts them, rather than pretending they went out.
TEST_F(JackBackendTest, ClosingCountsWhatAStalledServerNeverTook) {
    const uint64_t key = peerInKey();
    ASSERT_EQ(backend_->openOutput(key), MMSYSERR_NOERROR);
    ASSERT_EQ(kill(server_.pid(), SIGSTOP), 0);
    for (uint8_t note = 0; note < 10; ++note) {
        const uint8_t off[] = {0x80, note, 0};
        EXPECT_EQ(backend_->send(key, off, sizeof off), MMSYSERR_NOERROR);
    }
    // Unregistering the port waits for the server: it goes on once the count is made.
    std::thread resume([&] {
        std::this_thread::sleep_for(std::chrono::seconds(6));
        kill(server_.pid(), SIGCONT);
    });
    backend_->closeOutput(key);
    resume.join();
    EXPECT_EQ(backend_->undeliveredOnClose(), 10u);
}

TEST_F(JackBackendTest, SendersToOneOutputNeverMixTheirMessages) {
    const uint64_t key = peerInKey();
    ASSERT_EQ(backend_->openOutput(key), MMSYSERR_NOERROR);
    constexpr int kSenders = 4;
    constexpr int kEach = 300;
    std::vector<std::thread> senders;
    for (int sender = 0; sender < kSenders; ++sender) {
        senders.emplace_back([&, sender] {
            for (int count = 0; count < kEach; ++count) {
                const uint8_t note[] = {uint8_t(0x90 + sender), uint8_t(count >> 7),
                                        uint8_t(count & 0x7F)};
                while (backend_->send(key, note, sizeof note) == MIDIERR_NOTREADY) {
                    std::this_thread::yield();
                }
            }
        });
    }
    for (std::thread& sender : senders) {
        sender.join();
    }
    ASSERT_TRUE(eventually([&] { return peer_->received().size() >= kSenders * kEach * 3; }));
    const std::vector<uint8_t> bytes = peer_->received();
    ASSERT_EQ(bytes.size(), size_t(kSenders * kEach * 3));
    std::vector<int> next(kSenders, 0); // each sender's messages arrive whole and in order
    for (size_t at = 0; at < bytes.size(); at += 3) {
        const int sender = bytes[at] - 0x90;
        ASSERT_TRUE(sender >= 0 && sender < kSenders) << "byte " << at;
        EXPECT_EQ(bytes[at + 1] << 7 | bytes[at + 2], next[sender]++) << "byte " << at;
    }
}

TEST_F(JackBackendTest, SendingWhileTheOutputClosesAndOpensAgainIsSafe) {
    const uint64_t key = peerInKey();
    ASSERT_EQ(backend_->openOutput(key), MMSYSERR_NOERROR);
    std::atomic<bool> done{false};
    std::atomic<int> unexpected{0};
    std::thread sender([&] {
        const uint8_t clock[] = {0xF8};
        while (!done) {
            const MMRESULT result = backend_->send(key, clock, sizeof clock);
            if (result != MMSYSERR_NOERROR && result != MMSYSERR_INVALHANDLE &&
                result != MIDIERR_NOTREADY) {
                ++unexpected;
            }
        }
    });
    MMRESULT reopened = MMSYSERR_NOERROR;
    for (int round = 0; round < 10 && reopened == MMSYSERR_NOERROR; ++round) {
        backend_->closeOutput(key);
        reopened = backend_->openOutput(key);
    }
    done = true;
    sender.join();
    ASSERT_EQ(reopened, MMSYSERR_NOERROR);
    EXPECT_EQ(unexpected, 0);
    const uint8_t stop[] = {0xFC}; // the output still works
    ASSERT_EQ(backend_->send(key, stop, sizeof stop), MMSYSERR_NOERROR);
    EXPECT_TRUE(eventually([&] {
        const std::vector<uint8_t> bytes = peer_->received();
        return !bytes.empty() && bytes.back() == 0xFC;
    }));
}

} // namespace
} // namespace cvx::platform
