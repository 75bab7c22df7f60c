// Ports of two other JACK clients chosen by name in "MIDI Devices" are routed through the
// program, on a private `jackd -d dummy`; when the sending client leaves and comes back, its
// routing comes back with it.
#include "routing/device_routing.h"
#include "routing/ui/midi_devices_dialog.h"

#include "device_change_signal.h"
#include "device_test_support.h"
#include "midi.h"
#include "support/jack_keyboard_client.h"
#include "support/jack_peer_client.h"
#include "support/jack_test_server.h"
#include "support/qt_test_environment.h"

#include <QListWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace corvex::testing {
namespace {

[[maybe_unused]] const auto* const qt = addQtTestEnvironment();

constexpr const char* kKeysPort = cvx::platform::JackKeyboardClient::kOutName;
constexpr const char* kPeerIn = cvx::platform::JackPeerClient::kInName;

class MidiDevicesJackTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!cvx::platform::JackTestServer::installed()) {
            GTEST_SKIP() << "jackd is not installed";
        }
        ASSERT_TRUE(server_.startPatiently()) << "jackd -d dummy did not come up";
        keys_ = std::make_unique<cvx::platform::JackKeyboardClient>();
        peer_ = std::make_unique<cvx::platform::JackPeerClient>();
        ASSERT_TRUE(keys_->opened() && peer_->opened());
        setenv("CORVEX_MIDI", "virtual,jack", 1);
        setenv("CORVEX_LOOPBACKS", "1", 1);
        target_ = std::make_unique<RecordingTarget>();
        signal_ = std::make_unique<DeviceChangeSignal>();
    }
    void TearDown() override {
        midi_.closePorts();
        midi_.destroyClient();
        signal_.reset();
        peer_.reset();
        keys_.reset();
        server_.stop();
    }

    bool followChanges(const std::function<bool()>& done) {
        return eventually([&] {
            if (signal_->take()) {
                midi_.checkDeviceChange();
            }
            return done();
        });
    }

    // What reaches the peer's input after the keys play `status`, within the time-out.
    std::vector<uint8_t> played(uint8_t status, size_t expected) {
        const size_t before = peer_->received().size(); // the peer keeps everything
        keys_->playNote(status);
        std::vector<uint8_t> got;
        eventually([&] {
            const std::vector<uint8_t> all = peer_->received();
            got.assign(all.begin() + static_cast<long>(before), all.end());
            return got.size() >= expected;
        });
        return got;
    }

    static void selectEndingWith(QListWidget* list, const QString& name) {
        for (int row = 0; row < list->count(); ++row) {
            if (list->item(row)->text().endsWith(name)) {
                list->item(row)->setSelected(true);
            }
        }
    }

    cvx::platform::JackTestServer server_;
    std::unique_ptr<cvx::platform::JackKeyboardClient> keys_;
    std::unique_ptr<cvx::platform::JackPeerClient> peer_;
    std::unique_ptr<RecordingTarget> target_;
    std::unique_ptr<DeviceChangeSignal> signal_;
    RecordingUi ui_;
    MemoryGuard guard_;
    PlatformDeviceQuery query_;
    CMidi midi_{ui_, guard_, query_};
    QTemporaryDir folder_;
};

TEST_F(MidiDevicesJackTest, PortsChosenByNameAreRoutedAndComeBackWithTheirClient) {
    midi_.configure(DeviceSettings{});
    midi_.createClient(target_->hwnd(), nullptr, CFilter{});
    midi_.enumerateDevices();
    midi_.restoreSelections();

    MidiDevicesSetup setup;
    setup.inputNames = portNamesByIndex(midi_.roster(), true);
    setup.outputNames = portNamesByIndex(midi_.roster(), false);
    setup.routing = routingStateOf(midi_.roster(), midi_.selection());
    setup.autoAttach = true;
    SettingsStore store(folder_.filePath("settings").toStdString());
    MidiDevicesDialog dialog(setup, store);
    selectEndingWith(dialog.inputList(), kKeysPort);
    selectEndingWith(dialog.outputList(), kPeerIn);
    dialog.accept();
    ASSERT_EQ(dialog.setup().routing.inputs.size(), 1u);
    ASSERT_EQ(dialog.setup().routing.outputs.size(), 1u);
    applyRoutingState(dialog.setup().routing, midi_.roster(), midi_.selection());
    ASSERT_TRUE(midi_.reopenPorts());
    ASSERT_NE(midi_.findInput(kKeysPort), nullptr);
    EXPECT_TRUE(midi_.findInput(kKeysPort)->IsOpen());
    EXPECT_EQ(played(0x90, 3), (std::vector<uint8_t>{0x90, 0x3C, 0x64}));

    keys_.reset(); // the client leaves
    ASSERT_TRUE(followChanges([&] { return midi_.findInput(kKeysPort) == nullptr; }));
    keys_ = std::make_unique<cvx::platform::JackKeyboardClient>();
    ASSERT_TRUE(keys_->opened());
    ASSERT_TRUE(followChanges([&] {
        CMidiIn* back = midi_.findInput(kKeysPort);
        return back != nullptr && back->IsOpen();
    }));
    EXPECT_EQ(played(0x91, 3), (std::vector<uint8_t>{0x91, 0x3C, 0x64}));
    EXPECT_EQ(guard_.value, 0);
}

} // namespace
} // namespace corvex::testing
