#include "engine_round_trip.h"

#include "platform/backend_factories.h"
#include "platform/midi_service.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace cvx::test {
namespace {

constexpr uint32_t kEverything =
    CVX_ROUTE_SYSEX | CVX_ROUTE_REALTIME | CVX_ROUTE_SYSTEM_COMMON | 0xFFFFu;
constexpr uint16_t kSysExBufferBytes = 4096;
constexpr int kSysExBuffers = 4;

template <typename Caps, typename GetCaps>
int deviceNamed(const std::string& name, UINT count, GetCaps getCaps) {
    for (UINT device = 0; device < count; ++device) {
        Caps caps{};
        if (getCaps(device, &caps, sizeof caps) == MMSYSERR_NOERROR && name == caps.szPname) {
            return static_cast<int>(device);
        }
    }
    return -1;
}

} // namespace

std::vector<Bytes> mixedTraffic(int groups) {
    std::vector<Bytes> messages;
    for (int i = 0; i < groups; ++i) {
        const auto key = static_cast<uint8_t>(36 + i % 48);
        messages.push_back({0x90, key, 100});
        messages.push_back({0xB1, 7, static_cast<uint8_t>(i & 0x7F)});
        messages.push_back({0xF8});
        messages.push_back({0xE2, 0x00, 0x40});
        messages.push_back({0xC3, 5});
        messages.push_back({0x80, key, 0});
    }
    Bytes sysex(3000);
    for (size_t i = 0; i < sysex.size(); ++i) {
        sysex[i] = static_cast<uint8_t>(i & 0x7F);
    }
    sysex.front() = 0xF0;
    sysex.back() = 0xF7;
    messages.push_back(std::move(sysex));
    return messages;
}

size_t totalBytes(const std::vector<Bytes>& messages) {
    size_t total = 0;
    for (const Bytes& message : messages) {
        total += message.size();
    }
    return total;
}

void EngineRoundTrip::startEngine(const char* backends) {
    setenv("CORVEX_MIDI", backends, 1);
    setenv("CORVEX_LOOPBACKS", "1", 1);
    platform::MidiService::restartFromEnvironment();
    restarted_ = true;
    window_ = cvxWindowCreate(&EngineRoundTrip::post, this);
    client_ = m32CreateClient(window_, nullptr, &filter_);
    ASSERT_NE(client_, 0u);
}

void EngineRoundTrip::TearDown() {
    if (generating_) {
        m32GenMTCStop(client_, 0);
        m32StopClock(client_);
    }
    if (input_ != nullptr) {
        returnLentBuffers();
        m32CloseMidiIn(input_, client_);
    }
    if (output_ != nullptr) {
        m32CloseMidiOut(output_, client_);
    }
    if (client_ != 0) {
        m32DestroyClient(client_);
    }
    if (window_ != nullptr) {
        cvxWindowDestroy(window_);
    }
    if (restarted_) {
        std::vector<std::unique_ptr<platform::MidiBackend>> virtualOnly;
        virtualOnly.push_back(platform::makeVirtualBackend());
        platform::MidiService::restartWith(std::move(virtualOnly));
        unsetenv("CORVEX_MIDI");
        unsetenv("CORVEX_LOOPBACKS");
    }
}

bool EngineRoundTrip::routeThrough(const std::string& inputName, const std::string& outputName) {
    const int in = deviceNamed<MIDIINCAPS>(inputName, midiInGetNumDevs(), &midiInGetDevCaps);
    const int out = deviceNamed<MIDIOUTCAPS>(outputName, midiOutGetNumDevs(), &midiOutGetDevCaps);
    if (in < 0 || out < 0) {
        return false;
    }
    const auto inDevice = static_cast<uint16_t>(in);
    EXPECT_EQ(vx16OpenMidiIn(&input_, inDevice, client_), MMSYSERR_NOERROR);
    CPortMap map{};
    map.inputBits[inDevice / 32] = 1u << (inDevice % 32);
    map.inputMasks[inDevice] = kEverything;
    EXPECT_EQ(vx16OpenMidiOut(&output_, static_cast<uint16_t>(out), 0, &map, client_),
              MMSYSERR_NOERROR);
    for (int i = 0; i < kSysExBuffers; ++i) {
        EXPECT_EQ(m32AllocSyxBufIn(input_, client_, kSysExBufferBytes), 1);
        EXPECT_EQ(m32AllocSyxBufOut(output_, client_, kSysExBufferBytes), 1);
    }
    EXPECT_EQ(m32StartMidiIn(input_), MMSYSERR_NOERROR);
    return true;
}

bool EngineRoundTrip::openGeneratedOutput(const std::string& outputName) {
    const int out = deviceNamed<MIDIOUTCAPS>(outputName, midiOutGetNumDevs(), &midiOutGetDevCaps);
    if (out < 0) {
        return false;
    }
    CPortMap map{};
    map.inputBits[CVX_GENERATED_PORT / 32] = 1u << (CVX_GENERATED_PORT % 32);
    map.inputMasks[CVX_GENERATED_PORT] = kEverything;
    EXPECT_EQ(vx16OpenMidiOut(&output_, static_cast<uint16_t>(out), 0, &map, client_),
              MMSYSERR_NOERROR);
    for (int i = 0; i < kSysExBuffers; ++i) {
        EXPECT_EQ(m32AllocSyxBufOut(output_, client_, kSysExBufferBytes), 1);
    }
    return true;
}

void EngineRoundTrip::startGeneratedTraffic(uint16_t length) {
    if (generating_) {
        m32GenMTCStop(client_, 0);
        m32StopClock(client_);
    }
    m32ConfigMTC(client_, 1, 5, 0x01020304);
    m32ConfigSync(client_, 5, 12000, 96);
    EXPECT_EQ(m32GenMTCStart(client_), 1);
    EXPECT_EQ(m32StartClock(client_), 1);
    generating_ = true;
    Bytes sysex(length, 0x11);
    sysex.front() = 0xF0;
    sysex.back() = 0xF7;
    EXPECT_EQ(m32SendSysEx(client_, reinterpret_cast<char*>(sysex.data()), length),
              MMSYSERR_NOERROR);
}

void EngineRoundTrip::returnLentBuffers() {
    const size_t count = std::min(lentCount_.exchange(0), lent_.size());
    for (size_t i = 0; i < count; ++i) {
        m32RetBuf(input_, lent_[i].load());
    }
}

void EngineRoundTrip::post(void* user, uint32_t msg, uintptr_t, intptr_t lParam) {
    auto* self = static_cast<EngineRoundTrip*>(user);
    if (msg == WM_CVX_SYSEXDATA) {
        const size_t index = self->lentCount_.fetch_add(1);
        if (index < self->lent_.size()) {
            self->lent_[index].store(static_cast<uint64_t>(lParam));
        }
    }
}

} // namespace cvx::test
