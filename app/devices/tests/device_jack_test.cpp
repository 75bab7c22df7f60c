// The device manager following a JACK client whose MIDI port appears and disappears while
// the ports are open, on a private `jackd -d dummy`.
#include "device_change_signal.h"
#include "device_test_support.h"
#include "midi.h"
#include "support/jack_test_server.h"

#include "cvxlib.h"
#include "vmidi.h"

#include <jack/jack.h>
#include <jack/midiport.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>

namespace corvex::testing {
namespace {

using ::testing::ElementsAre;

constexpr const char* kPeerPort = "cvxkeys:out";
constexpr const char* kCable1 = "Corvex Loopback 1";

// A JACK client with one MIDI output port that comes and goes, sending a Note On when asked.
class KeyboardClient {
public:
    KeyboardClient() {
        for (int attempt = 0; client_ == nullptr && attempt < 5; ++attempt) {
            jack_status_t status{};
            client_ = jack_client_open("cvxkeys", JackNoStartServer, &status);
            if (client_ == nullptr) {
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
            }
        }
        if (client_ != nullptr) {
            plugIn();
            jack_set_process_callback(client_, &KeyboardClient::process, this);
            jack_activate(client_);
        }
    }
    ~KeyboardClient() {
        if (client_ != nullptr) {
            jack_deactivate(client_);
            jack_client_close(client_);
        }
    }
    KeyboardClient(const KeyboardClient&) = delete;
    KeyboardClient& operator=(const KeyboardClient&) = delete;

    bool opened() const { return client_ != nullptr; }
    void plugIn() {
        port_.store(
            jack_port_register(client_, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0));
    }
    void unplug() {
        jack_port_t* port = port_.exchange(nullptr);
        // Two cycles later no cycle still holds the port.
        const uint64_t cycle = cycles_.load();
        while (cycles_.load() < cycle + 2) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        jack_port_unregister(client_, port);
    }
    void playNote() { notePending_.store(true); }

private:
    static int process(jack_nframes_t frames, void* self) {
        auto* keyboard = static_cast<KeyboardClient*>(self);
        if (jack_port_t* port = keyboard->port_.load()) {
            void* buffer = jack_port_get_buffer(port, frames);
            jack_midi_clear_buffer(buffer);
            if (keyboard->notePending_.exchange(false)) {
                const jack_midi_data_t note[] = {0x90, 0x3C, 0x64};
                jack_midi_event_write(buffer, 0, note, sizeof note);
            }
        }
        keyboard->cycles_.fetch_add(1);
        return 0;
    }

    jack_client_t* client_ = nullptr;
    std::atomic<jack_port_t*> port_{nullptr};
    std::atomic<bool> notePending_{false};
    std::atomic<uint64_t> cycles_{0};
};

class DeviceJackTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!cvx::platform::JackTestServer::installed()) {
            GTEST_SKIP() << "jackd is not installed";
        }
        // JACK's registry of servers is small; on a busy machine a slot may free up later.
        bool started = server_.start();
        for (int attempt = 0; !started && attempt < 3; ++attempt) {
            std::this_thread::sleep_for(std::chrono::seconds(2));
            started = server_.start();
        }
        ASSERT_TRUE(started) << "jackd -d dummy did not come up";
        keyboard_ = std::make_unique<KeyboardClient>();
        ASSERT_TRUE(keyboard_->opened());
        // Before the MIDI service starts: one cable and the JACK server.
        setenv("CORVEX_MIDI", "virtual,jack", 1);
        setenv("CORVEX_LOOPBACKS", "1", 1);
        target_ = std::make_unique<RecordingTarget>();
        signal_ = std::make_unique<DeviceChangeSignal>();
    }
    void TearDown() override {
        midi_.closePorts();
        midi_.destroyClient();
        signal_.reset();
        keyboard_.reset();
        server_.stop();
    }

    // Runs the manager's check whenever the service reports a change, until `done`.
    bool followChanges(const std::function<bool()>& done) {
        return eventually([&] {
            if (signal_->take()) {
                midi_.checkDeviceChange();
            }
            return done();
        });
    }

    bool noteArrives() {
        takeSent(0);
        keyboard_->playNote();
        std::vector<unsigned char> sent;
        return eventually([&] {
            const std::vector<unsigned char> more = takeSent(0);
            sent.insert(sent.end(), more.begin(), more.end());
            return sent.size() >= 3;
        });
    }

    cvx::platform::JackTestServer server_;
    std::unique_ptr<KeyboardClient> keyboard_;
    std::unique_ptr<RecordingTarget> target_;
    std::unique_ptr<DeviceChangeSignal> signal_;
    RecordingUi ui_;
    MemoryGuard guard_;
    PlatformDeviceQuery query_;
    CMidi midi_{ui_, guard_, query_};
};

TEST_F(DeviceJackTest, TheManagerFollowsAJackPortThatComesAndGoes) {
    DeviceSettings settings;
    settings.selection.inputs = {kPeerPort};
    settings.selection.outputs = {kCable1};
    midi_.configure(settings);
    midi_.createClient(target_->hwnd(), nullptr, CFilter{});
    midi_.enumerateDevices();
    midi_.restoreSelections();
    CMidiIn* jackInput = midi_.findInput(kPeerPort);
    ASSERT_NE(jackInput, nullptr);
    EXPECT_EQ(jackInput->backend(), "jack");
    ASSERT_TRUE(midi_.openPorts());
    ASSERT_TRUE(jackInput->IsOpen());
    EXPECT_TRUE(noteArrives());

    keyboard_->unplug();
    ASSERT_TRUE(followChanges([&] { return midi_.findInput(kPeerPort) == nullptr; }));
    EXPECT_THAT(ui_.monitorLinesStartingWith("Closing disconnected"),
                ElementsAre(std::string("Closing disconnected MIDI Input... ") + kPeerPort));
    EXPECT_TRUE(midi_.portsOpen());
    EXPECT_EQ(InDevOpenCount(midi_.client()), 0);
    EXPECT_EQ(OutDevOpenCount(midi_.client()), 1);

    keyboard_->plugIn();
    ASSERT_TRUE(followChanges([&] {
        CMidiIn* back = midi_.findInput(kPeerPort);
        return back != nullptr && back->IsOpen();
    }));
    EXPECT_TRUE(noteArrives());
    EXPECT_EQ(guard_.value, 0);
}

} // namespace
} // namespace corvex::testing
