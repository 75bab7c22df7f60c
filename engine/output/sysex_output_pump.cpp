#include "output/sysex_output_pump.h"

#include "core/engine_lock.h"
#include "output/send_to_output.h"

#include <algorithm>

namespace cvx::output {

namespace {

using core::CvxClient;
using core::EngineGuard;
using core::OutputPort;

constexpr UINT kPumpResolutionMs = 1;

// The open output records that hold `handle`.
template <class Action> void forOutputsOf(CvxClient& client, HMIDIOUT handle, Action action) {
    int highest = client.outputs->highestOpen.load();
    for (int output = 0; output <= highest && handle != nullptr; ++output) {
        OutputPort& port = client.outputs->ports[output];
        if (port.handle.load() == handle) {
            action(port);
        }
    }
}

// A SysEx block ends the wire's running status on the output it goes to.
void noteSysExOnWire(CvxClient& client, HMIDIOUT handle) {
    forOutputsOf(client, handle, [](OutputPort& port) { routing::noteWireStatus(port, 0xF0); });
}

// Sends every buffer that is due, in queue order; re-arms for the first one that is not.
// The engine lock, held for the whole run, keeps two pumps from overlapping and keeps a
// closing output from freeing a buffer while it is being sent.
void runPump(CvxClient& client) {
    EngineGuard guard(core::engineLock());
    while (const core::BufferQueue::Entry* head = client.outputBuffers->front()) {
        int32_t wait = static_cast<int32_t>(head->due - timeGetTime());
        if (wait > 0) {
            armSysExPump(client, static_cast<uint32_t>(wait) + 1);
            return;
        }
        MIDIHDR* header = head->header;
        client.outputBuffers->pop();
        auto handle = reinterpret_cast<HMIDIOUT>(header->dwUser);
        noteSysExOnWire(client, handle);
        if (midiOutLongMsg(handle, header, sizeof(MIDIHDR)) != MMSYSERR_NOERROR) {
            header->dwFlags |= MHDR_DONE; // not sent: the buffer is free again
            forOutputsOf(client, handle, [](OutputPort& port) {
                port.sendFailures.fetch_add(1, std::memory_order_relaxed);
            });
        }
    }
}

void pumpFired(UINT timer, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    auto& client = *reinterpret_cast<CvxClient*>(user);
    {
        EngineGuard guard(core::engineLock());
        UINT expected = timer;
        client.sysexOut.pumpTimer.compare_exchange_strong(expected, 0);
    }
    runPump(client);
}

} // namespace

void armSysExPump(CvxClient& client, uint32_t delayMs) {
    if (client.sysexOut.pumpTimer.load() != 0) {
        return;
    }
    client.sysexOut.pumpTimer.store(timeSetEvent(std::max<uint32_t>(delayMs, 1), kPumpResolutionMs,
                                                 pumpFired, reinterpret_cast<DWORD_PTR>(&client),
                                                 TIME_ONESHOT));
}

void stopSysExPump(CvxClient& client) {
    UINT timer = client.sysexOut.pumpTimer.exchange(0);
    if (timer != 0) {
        timeKillEvent(timer);
    }
}

} // namespace cvx::output
