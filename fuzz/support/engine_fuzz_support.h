// Helpers of the engine's fuzz targets: the engine on the virtual loopback cables only, a
// message target that swallows every post, and a check that bytes form valid MIDI.
#pragma once

#include "cvx_platform.h"
#include "cvx_records.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace cvx::fuzz {

// Restricts the MIDI service to the loopback cables; call before the first engine call.
inline void useLoopbackCablesOnly() {
    setenv("CORVEX_MIDI", "virtual", 1);
}

inline void ignorePost(void*, uint32_t, uintptr_t, intptr_t) {}

// A message target that drops whatever is posted to it, made once per process.
inline HWND silentWindow() {
    static HWND window = cvxWindowCreate(&ignorePost, nullptr);
    return window;
}

// The data bytes a status byte takes (SysEx excluded, -1 for a byte that is no status).
inline int dataBytesOf(uint8_t status) {
    if (status < 0x80) {
        return -1;
    }
    switch (status & 0xF0) {
    case 0xC0:
    case 0xD0:
        return 1;
    case 0xF0:
        break;
    default:
        return 2;
    }
    switch (status) {
    case 0xF1:
    case 0xF3:
        return 1;
    case 0xF2:
        return 2;
    default:
        return 0;
    }
}

// True when `bytes` is a sequence of whole MIDI messages, running status allowed for
// channel messages, SysEx from F0 to F7 with 7-bit data and realtime bytes anywhere.
// `running` is the running status the stream starts with and ends with.
inline bool isValidMidiStream(const std::vector<uint8_t>& bytes, uint8_t& running) {
    size_t i = 0;
    while (i < bytes.size()) {
        const uint8_t byte = bytes[i];
        if (byte >= 0xF8) {
            ++i;
            continue;
        }
        if (byte == 0xF0) {
            ++i;
            while (i < bytes.size() && bytes[i] != 0xF7) {
                if (bytes[i] >= 0x80 && bytes[i] < 0xF8) {
                    return false;
                }
                ++i;
            }
            if (i == bytes.size()) {
                return false;
            }
            ++i;
            running = 0;
            continue;
        }
        uint8_t status = byte;
        if (byte < 0x80) {
            if (running == 0) {
                return false;
            }
            status = running;
        } else {
            ++i;
            running = byte < 0xF0 ? byte : 0;
        }
        const int count = dataBytesOf(status);
        if (count < 0 || status == 0xF7) {
            return false;
        }
        for (int n = 0; n < count; ++n, ++i) {
            if (i >= bytes.size() || bytes[i] >= 0x80) {
                return false;
            }
        }
    }
    return true;
}

} // namespace cvx::fuzz

#include "cvxcore.h"
#include "vmidi.h"

namespace cvx::fuzz {

// Prints what an output sent, for the report of a finding.
inline void reportInvalid(unsigned device, uint8_t running, const std::vector<uint8_t>& sent) {
    fprintf(stderr, "output %u sent invalid MIDI (running status %02X before):", device, running);
    for (uint8_t byte : sent) {
        fprintf(stderr, " %02X", byte);
    }
    fprintf(stderr, "\n");
}

// A client on the manual clock with loopback input 0 open and started and outputs 1 and
// 2 open, each routing every message of every input to itself. Outputs 1 and 2 never feed
// input 0, so nothing loops. Made once per process.
struct EngineOnCables {
    uint64_t client = 0;
    HMIDIIN input = nullptr;
    HMIDIOUT outputs[2] = {nullptr, nullptr};
    uint8_t runningStatus[2] = {0, 0}; // of what outputs 1 and 2 sent so far

    EngineOnCables() {
        useLoopbackCablesOnly();
        cvxClockManual(1);
        client = m32CreateClient(silentWindow(), nullptr, nullptr);
        CPortMap everything{};
        for (uint32_t i = 0; i < CVX_PORT_COUNT; ++i) {
            everything.inputBits[i / 32] |= 1u << (i % 32);
            everything.inputMasks[i] = 0x7FFFF;
        }
        if (client == 0 || vx16OpenMidiIn(&input, 0, client) != MMSYSERR_NOERROR ||
            vx16OpenMidiOut(&outputs[0], 1, 0, &everything, client) != MMSYSERR_NOERROR ||
            vx16OpenMidiOut(&outputs[1], 2, 0, &everything, client) != MMSYSERR_NOERROR) {
            abort();
        }
        m32AllocSyxBufOut(outputs[0], client, 1024);
        m32AllocSyxBufOut(outputs[1], client, 1024);
        m32StartTimeStamp(client);
        m32StartMidiIn(input);
    }

    // Runs every delayed event and paced SysEx piece, drains the client's queues and
    // checks that what reached each output is valid MIDI.
    void settleAndCheckOutputs() {
        for (int step = 0; step < 8; ++step) {
            vmidiSettle();
            cvxClockAdvance(500);
        }
        vmidiSettle();
        EVENT event;
        for (MonID id : {MON_RAW_INPUT, MON_MAIN, MON_LUA, MON_DOCK, MON_SCRIPT}) {
            while (m32GetEvent(client, &event, id) != 0) {
            }
        }
        for (unsigned device : {1u, 2u}) {
            uint8_t& running = runningStatus[device - 1];
            std::vector<uint8_t> sent;
            uint8_t chunk[4096];
            unsigned count = 0;
            while ((count = vmidiTake(device, chunk, sizeof chunk)) > 0) {
                sent.insert(sent.end(), chunk, chunk + count);
            }
            const uint8_t runningBefore = running;
            if (!isValidMidiStream(sent, running)) {
                reportInvalid(device, runningBefore, sent);
                abort();
            }
        }
    }
};

} // namespace cvx::fuzz
