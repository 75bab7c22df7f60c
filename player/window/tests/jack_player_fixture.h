// What the JACK tests of the player share: a private `jackd -d dummy` with the project's
// peer client as the receiver, songs written into the test's home, tunelet started as a
// process with the peer's input as its stored port, and the received bytes read back as
// messages and as the state they leave a synthesizer in.
#pragma once

#include "output_ports.h"
#include "player_controller.h"
#include "player_settings.h"
#include "smf_bytes.h"
#include "support/jack_peer_client.h"
#include "support/jack_test_server.h"

#include <QCoreApplication>
#include <QProcess>

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace corvex::test {

using Bytes = smf::test::Bytes;
using Message = std::vector<uint8_t>;

// The received bytes cut into messages: whole channel messages and whole SysEx.
inline std::vector<Message> messagesOf(const Bytes& bytes) {
    std::vector<Message> out;
    for (size_t at = 0; at < bytes.size();) {
        size_t length = 1;
        const uint8_t status = bytes[at];
        if (status == 0xF0) {
            while (at + length < bytes.size() && bytes[at + length - 1] != 0xF7) {
                ++length;
            }
        } else if (status >= 0x80 && status < 0xF0) {
            length = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 2 : 3;
        }
        length = std::min(length, bytes.size() - at);
        out.emplace_back(bytes.begin() + long(at), bytes.begin() + long(at + length));
        at += length;
    }
    return out;
}

// What the messages leave a synthesizer with: notes still sounding, channels holding the
// sustain pedal, channels whose bend is off centre.
struct SynthState {
    std::map<std::pair<int, int>, int> sounding; // (channel, key) -> Note Ons not ended
    std::array<bool, 16> pedal{};
    std::array<int, 16> bend{};

    SynthState() { bend.fill(0x2000); }
    void apply(const Message& m) {
        const int channel = m[0] & 0x0F;
        switch (m[0] & 0xF0) {
        case 0x90:
            if (m[2] != 0) {
                ++sounding[{channel, m[1]}];
                break;
            }
            [[fallthrough]];
        case 0x80:
            if (auto found = sounding.find({channel, m[1]}); found != sounding.end()) {
                if (--found->second == 0) {
                    sounding.erase(found);
                }
            }
            break;
        case 0xB0:
            if (m[1] == 64) {
                pedal[size_t(channel)] = m[2] >= 64;
            } else if (m[1] == 121) {
                pedal[size_t(channel)] = false;
                bend[size_t(channel)] = 0x2000;
            }
            break;
        case 0xE0:
            bend[size_t(channel)] = m[1] | m[2] << 7;
            break;
        default:
            break;
        }
    }
    bool silent() const {
        for (int channel = 0; channel < 16; ++channel) {
            if (pedal[size_t(channel)] || bend[size_t(channel)] != 0x2000) {
                return false;
            }
        }
        return sounding.empty();
    }
    std::string describe() const {
        std::string text;
        for (const auto& [note, count] : sounding) {
            text += " note " + std::to_string(note.second) + " on channel " +
                    std::to_string(note.first + 1) + " sounds;";
        }
        for (int channel = 0; channel < 16; ++channel) {
            if (pedal[size_t(channel)]) {
                text += " pedal held on channel " + std::to_string(channel + 1) + ";";
            }
            if (bend[size_t(channel)] != 0x2000) {
                text += " bend " + std::to_string(bend[size_t(channel)]) + " on channel " +
                        std::to_string(channel + 1) + ";";
            }
        }
        return text.empty() ? "silent" : text;
    }
};

inline SynthState stateAfter(const std::vector<Message>& messages, size_t count) {
    SynthState state;
    for (size_t index = 0; index < count && index < messages.size(); ++index) {
        state.apply(messages[index]);
    }
    return state;
}

inline std::string writeSong(const std::string& name, const Bytes& bytes) {
    std::string path = std::string(std::getenv("HOME")) + "/" + name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
}

// QProcess needs one; the tests share it.
inline void ensureCoreApplication() {
    static int argc = 1;
    static char name[] = "player_program_tests";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) {
        new QCoreApplication(argc, argv);
    }
}

// A view for the player's logic that fails the test on any error box.
class FailingView : public PlayerView {
public:
    void showTitle(const std::string&) override {}
    void showButtons(const ButtonStates&) override {}
    void showPosition(const std::string&) override {}
    void showLength(const std::string&) override {}
    void errorBox(const std::string& message) override { ADD_FAILURE() << message; }
};

class JackPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureCoreApplication();
        if (!cvx::platform::JackTestServer::installed()) {
            GTEST_SKIP() << "jackd is not installed";
        }
        ASSERT_TRUE(server_.start(256)) << "jackd -d dummy did not come up";
        peer_ = std::make_unique<cvx::platform::JackPeerClient>();
        ASSERT_TRUE(peer_->opened());
    }
    void TearDown() override {
        for (auto& program : programs_) {
            if (program->state() != QProcess::NotRunning) {
                program->kill();
                program->waitForFinished(5000);
            }
        }
        peer_.reset();
        server_.stop();
    }

    void storeSettings(bool singleInstance) {
        SettingsStore store;
        PlayerSettings settings;
        settings.outputPort = cvx::platform::JackPeerClient::kInName;
        settings.singleInstance = singleInstance;
        ASSERT_TRUE(writePlayerSettings(store, settings));
    }

    // The player's logic in this process, on the peer's input port; null when that cannot
    // be chosen. The MIDI service of this process starts with its first call, on the
    // backends named then; ctest runs every test in a process of its own, after this
    // fixture's server started.
    std::unique_ptr<PlayerController> controllerOnPeer() {
        setenv("CORVEX_MIDI", "virtual,jack", 1);
        auto controller = std::make_unique<PlayerController>(view_, nullptr, nullptr);
        const int port =
            resolveStoredPort(outputDeviceNames(), cvx::platform::JackPeerClient::kInName);
        if (port == kMapperChoice || !controller->choosePort(port)) {
            return nullptr;
        }
        return controller;
    }

    QProcess& startTunelet(const QStringList& arguments) {
        programs_.push_back(std::make_unique<QProcess>());
        QProcess& program = *programs_.back();
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("CORVEX_MIDI", "virtual,jack");
        program.setProcessEnvironment(environment);
        program.start(TUNELET_PROGRAM, arguments);
        EXPECT_TRUE(program.waitForStarted(10000));
        return program;
    }

    // Waits (up to `seconds`) until the messages received so far satisfy `done`.
    std::vector<Message> waitFor(const std::function<bool(const std::vector<Message>&)>& done,
                                 int seconds = 30) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        std::vector<Message> messages = messagesOf(peer_->received());
        while (!done(messages) && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            messages = messagesOf(peer_->received());
        }
        return messages;
    }

public:
    static size_t indexOf(const std::vector<Message>& messages, const Message& wanted,
                          size_t from = 0) {
        for (size_t index = from; index < messages.size(); ++index) {
            if (messages[index] == wanted) {
                return index;
            }
        }
        return messages.size();
    }

protected:
    FailingView view_;
    cvx::platform::JackTestServer server_;
    std::unique_ptr<cvx::platform::JackPeerClient> peer_;
    std::vector<std::unique_ptr<QProcess>> programs_;
};

} // namespace corvex::test
