// The device manager following a JACK client whose MIDI port appears and disappears while
// the ports are open, on a private `jackd -d dummy`.
#include "device_change_signal.h"
#include "device_test_support.h"
#include "midi.h"
#include "support/jack_keyboard_client.h"
#include "support/jack_test_server.h"

#include "cvxlib.h"
#include "vmidi.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace corvex::testing {
namespace {

using ::testing::ElementsAre;

constexpr const char* kPeerPort = cvx::platform::JackKeyboardClient::kOutName;
constexpr const char* kCable1 = "Corvex Loopback 1";

class DeviceJackTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!cvx::platform::JackTestServer::installed()) {
            GTEST_SKIP() << "jackd is not installed";
        }
        ASSERT_TRUE(server_.startPatiently()) << "jackd -d dummy did not come up";
        keyboard_ = std::make_unique<cvx::platform::JackKeyboardClient>();
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
    std::unique_ptr<cvx::platform::JackKeyboardClient> keyboard_;
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
