// Opening and closing JACK ports while other ports of the backend carry a steady stream in
// both directions: the stream must not be held up by the opening's registration, connection
// and waits, nor by the closing's.
//
// How the delay is measured without being fooled by a loaded machine: a client of its own
// ("cvxstream") emits one stamped event every cycle towards a backend input and receives the
// events a test thread sends through a backend output once per cycle. An event's lag is
// counted in the client's cycles: from the cycle that emitted it to its delivery to the
// sink, and from the call to send() to the cycle that brought it to the client. A blocked
// delivery or send() shows as cycles passing; a machine so busy that threads wake late also
// makes the server's cycles (the dummy driver is an ordinary thread) come late, which
// cancels out. The largest lag while ports open and close may exceed the largest lag of the
// same stream in an equally long stretch just after, without openings, by one cycle. An
// opening that blocked the stream would hold it up at every opening for at least the two
// cycles opening waits for the connection, so it fails every attempt; a stall of the
// machine that happens to hit the open stretch is rare and random, so the test passes when
// one of a few attempts is clean.
#include "backend_test_doubles.h"
#include "platform/jack/jack_backend.h"
#include "support/jack_peer_client.h"
#include "support/jack_test_server.h"

#include <jack/midiport.h>

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

namespace cvx::platform {
namespace {

using namespace std::chrono_literals;

constexpr unsigned kPeriodFrames = 128;
constexpr uint64_t kPeriodUs = uint64_t{kPeriodFrames} * 1000000 / JackTestServer::kSampleRate;
constexpr int kAttempts = 4;
constexpr int kOpenCloseRounds = 5;
constexpr size_t kStamps = 1 << 14; // what two 7-bit data bytes carry

std::array<uint8_t, 3> stampedNote(uint32_t stamp) {
    return {0x90, uint8_t(stamp >> 7 & 0x7F), uint8_t(stamp & 0x7F)};
}

uint32_t stampOf(const uint8_t* bytes) {
    return uint32_t(bytes[1]) << 7 | bytes[2];
}

// One arrival: when (JACK microseconds), and how many cycles after it set off.
struct Lag {
    uint64_t at;
    uint64_t lag;
};

class LagLog {
public:
    LagLog() { lags_.reserve(1 << 17); } // no allocation in a process callback
    void add(uint64_t at, uint64_t setOff, uint64_t arrived) {
        std::lock_guard lock(mutex_);
        lags_.push_back({at, arrived > setOff ? arrived - setOff : 0});
    }
    // The largest lag of the arrivals in [from, to).
    uint64_t largestBetween(uint64_t from, uint64_t to) const {
        std::lock_guard lock(mutex_);
        uint64_t largest = 0;
        for (const Lag& lag : lags_) {
            if (lag.at >= from && lag.at < to) {
                largest = std::max(largest, lag.lag);
            }
        }
        return largest;
    }
    size_t countBetween(uint64_t from, uint64_t to) const {
        std::lock_guard lock(mutex_);
        return size_t(std::count_if(lags_.begin(), lags_.end(),
                                    [&](const Lag& lag) { return lag.at >= from && lag.at < to; }));
    }

private:
    mutable std::mutex mutex_;
    std::vector<Lag> lags_;
};

// The stream's far end: emits a stamped note every cycle on "out", counts the cycles what
// comes back on "in" took since the sender stamped it.
class StreamClient {
public:
    static constexpr const char* kOutName = "cvxstream:out";
    static constexpr const char* kInName = "cvxstream:in";

    StreamClient() {
        jack_status_t status{};
        client_ = jack_client_open("cvxstream", JackNoStartServer, &status);
        if (client_ == nullptr) {
            return;
        }
        out_ = jack_port_register(client_, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
        in_ = jack_port_register(client_, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
        jack_set_process_callback(client_, onProcess, this);
        jack_activate(client_);
    }
    ~StreamClient() {
        if (client_ != nullptr) {
            jack_deactivate(client_);
            jack_client_close(client_);
        }
    }
    StreamClient(const StreamClient&) = delete;
    StreamClient& operator=(const StreamClient&) = delete;

    bool opened() const { return client_ != nullptr; }
    uint64_t cycles() const { return cycles_; }
    uint64_t emittedInCycle(uint32_t stamp) const { return emitted_[stamp % kStamps]; }
    // The sender notes when it hands each stamp to the backend.
    void sending(uint32_t stamp) { sentInCycle_[stamp % kStamps] = cycles_.load(); }
    const LagLog& returned() const { return returned_; }

private:
    static int onProcess(jack_nframes_t frames, void* self) {
        static_cast<StreamClient*>(self)->process(frames);
        return 0;
    }
    void process(jack_nframes_t frames) {
        const jack_time_t now = jack_get_time();
        void* out = jack_port_get_buffer(out_, frames);
        jack_midi_clear_buffer(out);
        const uint32_t stamp = uint32_t(cycles_ % kStamps);
        emitted_[stamp] = cycles_.load();
        const auto note = stampedNote(stamp);
        jack_midi_event_write(out, 0, note.data(), note.size());

        void* in = jack_port_get_buffer(in_, frames);
        const uint32_t count = jack_midi_get_event_count(in);
        for (uint32_t index = 0; index < count; ++index) {
            jack_midi_event_t event;
            if (jack_midi_event_get(&event, in, index) == 0 && event.size == 3) {
                returned_.add(now, sentInCycle_[stampOf(event.buffer) % kStamps], cycles_);
            }
        }
        ++cycles_;
    }

    jack_client_t* client_ = nullptr;
    jack_port_t* out_ = nullptr;
    jack_port_t* in_ = nullptr;
    std::atomic<uint64_t> cycles_{0};
    std::array<std::atomic<uint64_t>, kStamps> emitted_{};
    std::array<std::atomic<uint64_t>, kStamps> sentInCycle_{};
    LagLog returned_;
};

// The backend's input end of the stream.
class StreamSink final : public InputSink {
public:
    explicit StreamSink(const StreamClient& stream) : stream_(stream) {}
    void receive(const uint8_t* bytes, size_t length, uint32_t) override {
        if (length == 3) {
            lags_.add(jack_get_time(), stream_.emittedInCycle(stampOf(bytes)), stream_.cycles());
        }
    }
    void countOverrun(uint32_t) override {}
    const LagLog& lags() const { return lags_; }

private:
    const StreamClient& stream_;
    LagLog lags_;
};

class JackTrafficDuringOpenTest : public testing::Test {
protected:
    void SetUp() override {
        if (!JackTestServer::installed()) {
            GTEST_SKIP() << "jackd is not installed";
        }
        ASSERT_TRUE(server_.start(kPeriodFrames)) << "jackd -d dummy did not come up";
        stream_ = std::make_unique<StreamClient>();
        peer_ = std::make_unique<JackPeerClient>();
        ASSERT_TRUE(stream_->opened());
        ASSERT_TRUE(peer_->opened());
        ASSERT_TRUE(backend_.start(host_));
    }
    void TearDown() override {
        stopSending();
        backend_.stop();
        peer_.reset();
        stream_.reset();
        server_.stop();
    }

    // Sends one stamped note through `key` every cycle until stopSending().
    void startSending(uint64_t key) {
        sender_ = std::thread([this, key] {
            uint32_t stamp = 0;
            for (uint64_t cycle = stream_->cycles(); !stopSending_;) {
                if (stream_->cycles() == cycle) {
                    std::this_thread::sleep_for(100us);
                    continue;
                }
                cycle = stream_->cycles();
                stamp = (stamp + 1) % kStamps;
                stream_->sending(stamp);
                const auto note = stampedNote(stamp);
                backend_.send(key, note.data(), note.size());
            }
        });
    }
    void stopSending() {
        stopSending_ = true;
        if (sender_.joinable()) {
            sender_.join();
        }
    }

    // Opens and closes both ends of the other client, several times.
    void openAndCloseOtherPorts() {
        const uint64_t inKey = keyOfEndpointNamed(backend_.inputs(), JackPeerClient::kOutName);
        const uint64_t outKey = keyOfEndpointNamed(backend_.outputs(), JackPeerClient::kInName);
        RecordingSink unused;
        for (int round = 0; round < kOpenCloseRounds; ++round) {
            ASSERT_EQ(backend_.openInput(inKey, unused), MMSYSERR_NOERROR);
            ASSERT_EQ(backend_.openOutput(outKey), MMSYSERR_NOERROR);
            backend_.closeInput(inKey);
            backend_.closeOutput(outKey);
        }
    }

    JackTestServer server_;
    CountingHost host_;
    JackBackend backend_;
    std::unique_ptr<StreamClient> stream_;
    std::unique_ptr<StreamSink> sink_; // outlives the backend's use of it
    std::unique_ptr<JackPeerClient> peer_;
    std::thread sender_;
    std::atomic<bool> stopSending_{false};
};

TEST_F(JackTrafficDuringOpenTest, OpeningAndClosingPortsDoesNotHoldUpTheOthers) {
    sink_ = std::make_unique<StreamSink>(*stream_);
    StreamSink& sink = *sink_;
    const uint64_t inKey = keyOfEndpointNamed(backend_.inputs(), StreamClient::kOutName);
    const uint64_t outKey = keyOfEndpointNamed(backend_.outputs(), StreamClient::kInName);
    ASSERT_EQ(backend_.openInput(inKey, sink), MMSYSERR_NOERROR);
    ASSERT_EQ(backend_.openOutput(outKey), MMSYSERR_NOERROR);
    startSending(outKey);
    std::this_thread::sleep_for(100ms); // the stream settles

    bool clean = false;
    for (int attempt = 1; attempt <= kAttempts && !clean; ++attempt) {
        const uint64_t churnStart = jack_get_time();
        openAndCloseOtherPorts();
        const uint64_t churnEnd = jack_get_time();
        std::this_thread::sleep_for(10ms); // what was under way arrives
        const uint64_t quietStart = jack_get_time();
        std::this_thread::sleep_for(std::chrono::microseconds(churnEnd - churnStart));
        const uint64_t quietEnd = jack_get_time();

        const uint64_t inQuiet = sink.lags().largestBetween(quietStart, quietEnd);
        const uint64_t inChurn = sink.lags().largestBetween(churnStart, churnEnd);
        const uint64_t outQuiet = stream_->returned().largestBetween(quietStart, quietEnd);
        const uint64_t outChurn = stream_->returned().largestBetween(churnStart, churnEnd);
        ASSERT_GT(sink.lags().countBetween(churnStart, churnEnd), 0u);
        ASSERT_GT(stream_->returned().countBetween(churnStart, churnEnd), 0u);
        std::printf("attempt %d: %d opens and closes took %llu us; largest lag in / out: "
                    "%llu / %llu cycles with them, %llu / %llu cycles without (period %llu "
                    "us)\n",
                    attempt, 4 * kOpenCloseRounds, (unsigned long long)(churnEnd - churnStart),
                    (unsigned long long)inChurn, (unsigned long long)outChurn,
                    (unsigned long long)inQuiet, (unsigned long long)outQuiet,
                    (unsigned long long)kPeriodUs);
        clean = inChurn <= inQuiet + 1 && outChurn <= outQuiet + 1;
    }
    EXPECT_TRUE(clean) << "the stream was held up by more than one period in every attempt";
}

} // namespace
} // namespace cvx::platform
