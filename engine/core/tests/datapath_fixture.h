// A client with ports on the virtual loopback cables, on the manual clock: the fixture of
// the data-path tests. Inputs are fed with vmidiFeed; what outputs sent is read back with
// vmidiTake. A cable's output arrives at its own input, so tests open the inputs of some
// cables and the outputs of others.
#pragma once

#include "client_fixture.h"

#include <cstdlib>
#include <initializer_list>
#include <vector>

namespace cvx::test {

using Bytes = std::vector<uint8_t>;

// A map item of any channel and any values, from one message type to another, with every
// value passed on unchanged; tests narrow it as they need.
inline MapItem openItem(uint8_t sourceType, uint8_t targetType) {
    MapItem item{};
    item.sourceChannel = 0xFF;
    item.sourceMessage = sourceType;
    item.sourceV1Min = item.sourceV1Max = item.sourceV2Min = item.sourceV2Max = 0xFFFF;
    item.targetChannel = 0xFF;
    item.targetMessage = targetType;
    item.targetV1Min = item.targetV1Max = item.targetV2Min = item.targetV2Max = 0xFFFF;
    return item;
}

// A whole SysEx message of `length` bytes (at least 2): F0, counting data bytes, F7.
inline Bytes sysex(size_t length) {
    Bytes bytes(length);
    for (size_t i = 1; i + 1 < length; ++i) {
        bytes[i] = static_cast<uint8_t>(i & 0x7F);
    }
    bytes.front() = 0xF0;
    bytes.back() = 0xF7;
    return bytes;
}

inline constexpr uint32_t kAllMessages = 0x7FFFF; // channels, SysEx, realtime, common

// A port map in which each listed input reaches the output with `mask`.
inline CPortMap routeFrom(std::initializer_list<uint32_t> inputs, uint32_t mask = kAllMessages) {
    CPortMap map{};
    for (uint32_t i : inputs) {
        map.inputBits[i / 32] |= 1u << (i % 32);
        map.inputMasks[i] = mask;
    }
    return map;
}

class DataPathTest : public ClientTest {
protected:
    static void SetUpTestSuite() { setenv("CORVEX_MIDI", "virtual", 1); }

    void SetUp() override {
        ClientTest::SetUp();
        // What earlier tests left on the cables is not this test's.
        vmidiSettle();
        for (unsigned device = 0; device < midiOutGetNumDevs(); ++device) {
            take(device);
        }
    }

    void TearDown() override {
        for (HMIDIIN in : inputs_) {
            m32CloseMidiIn(in, handle);
        }
        for (HMIDIOUT out : outputs_) {
            m32CloseMidiOut(out, handle);
        }
        vmidiSettle();
        ClientTest::TearDown();
    }

    HMIDIIN openInput(uint16_t device, int sysexBuffers = 0, uint16_t bufferSize = 256) {
        HMIDIIN in = nullptr;
        EXPECT_EQ(vx16OpenMidiIn(&in, device, handle), MMSYSERR_NOERROR);
        for (int i = 0; i < sysexBuffers; ++i) {
            EXPECT_EQ(m32AllocSyxBufIn(in, handle, bufferSize), 1);
        }
        EXPECT_EQ(m32StartMidiIn(in), MMSYSERR_NOERROR);
        inputs_.push_back(in);
        return in;
    }

    HMIDIOUT openOutput(uint16_t device, const CPortMap& map, int sysexBuffers = 0,
                        uint16_t bufferSize = 256) {
        HMIDIOUT out = nullptr;
        CPortMap copy = map;
        EXPECT_EQ(vx16OpenMidiOut(&out, device, 0, &copy, handle), MMSYSERR_NOERROR);
        for (int i = 0; i < sysexBuffers; ++i) {
            EXPECT_EQ(m32AllocSyxBufOut(out, handle, bufferSize), 1);
        }
        outputs_.push_back(out);
        return out;
    }

    void forgetInput(HMIDIIN in) { std::erase(inputs_, in); }
    void forgetOutput(HMIDIOUT out) { std::erase(outputs_, out); }

    static void feed(unsigned device, const Bytes& bytes) {
        ASSERT_EQ(vmidiFeed(device, bytes.data(), static_cast<unsigned>(bytes.size())), 1);
        vmidiSettle();
    }

    static Bytes take(unsigned device) {
        Bytes bytes(1 << 20);
        bytes.resize(vmidiTake(device, bytes.data(), static_cast<unsigned>(bytes.size())));
        return bytes;
    }

    // The main queue's events that record something sent (out-port set), SysEx chunks left
    // out.
    std::vector<EVENT> sentRecords() {
        std::vector<EVENT> sent;
        for (const EVENT& e : readAll(MON_MAIN)) {
            if (e.outPort != 0 && (e.message >> 24) != CVX_ORIGIN_CHUNK) {
                sent.push_back(e);
            }
        }
        return sent;
    }

private:
    std::vector<HMIDIIN> inputs_;
    std::vector<HMIDIOUT> outputs_;
};

} // namespace cvx::test
