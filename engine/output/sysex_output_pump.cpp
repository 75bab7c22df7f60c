#include "output/sysex_output_pump.h"

#include "core/engine_lock.h"
#include "output/output_lane.h"
#include "output/send_to_output.h"

#include <mutex>

#include <algorithm>

namespace cvx::output {

namespace {

using core::CvxClient;
using core::EngineGuard;
using core::OutputPort;

constexpr UINT kPumpResolutionMs = 1;

// The output a handle is open on, or null.
OutputPort* outputOf(CvxClient& client, HMIDIOUT handle) {
    int highest = client.outputs->highestOpen.load();
    for (int output = 0; output <= highest && handle != nullptr; ++output) {
        OutputPort& port = client.outputs->ports[output];
        if (port.handle.load() == handle) {
            return &port;
        }
    }
    return nullptr;
}

// The head of the queue when it is due; else arms the pump for it and returns null.
MIDIHDR* dueHead(CvxClient& client) {
    EngineGuard guard(core::engineLock());
    const core::BufferQueue::Entry* head = client.outputBuffers->front();
    if (head == nullptr) {
        return nullptr;
    }
    int32_t wait = static_cast<int32_t>(head->due - timeGetTime());
    if (wait > 0) {
        armSysExPump(client, static_cast<uint32_t>(wait) + 1);
        return nullptr;
    }
    return head->header;
}

// Takes `header` off the queue if it is still its head (a closing output removes its own).
bool popIfHead(CvxClient& client, MIDIHDR* header) {
    EngineGuard guard(core::engineLock());
    const core::BufferQueue::Entry* head = client.outputBuffers->front();
    if (head == nullptr || head->header != header) {
        return false;
    }
    client.outputBuffers->pop();
    return true;
}

void release(MIDIHDR* header) {
    core::SysExBuffer::of(header)->withPump.store(false, std::memory_order_release);
}

// Sends one due buffer under its output's wire lock, which keeps the running-status byte
// true (a SysEx block ends it) and keeps a closing output from freeing the buffer meanwhile.
void sendDue(CvxClient& client, MIDIHDR* header) {
    auto handle = reinterpret_cast<HMIDIOUT>(header->dwUser);
    OutputPort* port = outputOf(client, handle);
    output::OutputLane* lane = port != nullptr ? port->lane.load() : nullptr;
    if (lane == nullptr) {
        if (popIfHead(client, header)) {
            header->dwFlags |= MHDR_DONE; // its output is gone: free again
            release(header);
        }
        return;
    }
    std::lock_guard wire(lane->wireLock());
    if (!popIfHead(client, header)) {
        return;
    }
    routing::noteWireStatus(*port, 0xF0);
    if (midiOutLongMsg(handle, header, sizeof(MIDIHDR)) != MMSYSERR_NOERROR) {
        header->dwFlags |= MHDR_DONE; // not sent: the buffer is free again
        port->sendFailures.fetch_add(1, std::memory_order_relaxed);
    }
    release(header);
}

// Sends every buffer that is due, in queue order, outside the engine lock; re-arms for the
// first one that is not.
void runPump(CvxClient& client) {
    if (client.sysexOut.pumping.exchange(true)) {
        return;
    }
    while (MIDIHDR* header = dueHead(client)) {
        sendDue(client, header);
    }
    client.sysexOut.pumping.store(false);
    // A pump that fired while this one ran returned at once: look again for it.
    EngineGuard guard(core::engineLock());
    if (client.outputBuffers->front() != nullptr) {
        armSysExPump(client, 1);
    }
}

void pumpFired(UINT timer, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    auto& client = *reinterpret_cast<CvxClient*>(user);
    {
        // Arming stores the timer's id under the lock, possibly after the timer fired: the
        // lock makes this see the id, so a fired timer never stays recorded as pending.
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
