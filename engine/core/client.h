// The client record: everything one engine client owns. It is allocated zero-filled by
// CreateClient and freed by DestroyClient; its handle comes from the client registry.
//
// Fields the application replaces while callbacks run (flags, windows, the filter) are
// atomics or are replaced with an ordering that lets the callbacks read them without the
// engine lock; queue, ring and list positions change only under the engine lock.
#pragma once

#include "core/buffer_queue.h"
#include "core/chunk_ring.h"
#include "core/client_registry.h"
#include "core/delayed_pool.h"
#include "core/event_queue.h"
#include "core/filter_copy.h"
#include "core/map_arena.h"
#include "core/map_state.h"
#include "core/notify_state.h"
#include "core/port_tables.h"
#include "core/time_code_state.h"
#include "cvx_platform.h"
#include "cvx_records.h"

#include <atomic>
#include <cstdint>

namespace cvx::core {

// The message targets of a client. Each is published atomically: callbacks post to whatever
// target is current, the application thread attaches and detaches.
struct ClientWindows {
    HWND main = nullptr;
    std::atomic<HWND> capture{nullptr};
    std::atomic<HWND> rawMonitor{nullptr};
    std::atomic<HWND> mtc{nullptr};
    std::atomic<HWND> sync{nullptr};
    std::atomic<HWND> lua{nullptr};
    std::atomic<HWND> script{nullptr};
    std::atomic<HWND> dock{nullptr};
};

// Queues and rings that exist only while their consumer is attached. Swapped under the
// engine lock; producers look them up under the lock as well.
struct ConsumerQueues {
    EventQueue* raw = nullptr;
    EventQueue* lua = nullptr;
    EventQueue* dock = nullptr;
    EventQueue* script = nullptr;
    ScriptChunkRing* dockRing = nullptr;
    ScriptChunkRing* scriptRing = nullptr;
};

// Switches the application sets and the callbacks read without locking.
struct ClientFlags {
    std::atomic<int16_t> inputBlocker{0};
    std::atomic<int16_t> luaDivert{0};
    std::atomic<int16_t> scriptDivert{0};
    std::atomic<int16_t> dockDivert{0};
    std::atomic<int16_t> sysexCapture{0};
    std::atomic<int16_t> runningStatusOutput{0};
    uint32_t dockId = 0;
    uint16_t attachCount = 0;
    uint16_t captureValues[2] = {0, 0};
};

// The SysEx output side: the buffer size and the pump's pending timer.
struct SysExOutputState {
    std::atomic<uint16_t> bufferSize{0};
    std::atomic<UINT> pumpTimer{0};   // the pump's pending one-shot timer
    std::atomic<bool> pumping{false}; // a pump runs: another that fires meanwhile returns
};

// The delayed events and the 5 ms pump that sends them.
struct DelayState {
    DelayedPool pool; // engine lock
    std::atomic<UINT> pumpTimer{0};
};

struct CvxClient {
    FilterCopy filter;
    EventQueue* mainQueue = nullptr;
    DisplayChunkRing* displayRing = nullptr;
    ConsumerQueues consumers;
    BufferQueue* capturedBuffers = nullptr;
    BufferQueue* outputBuffers = nullptr;
    MapArena* arena = nullptr;
    OutputPortTable* outputs = nullptr;
    InputPortTable inputs;
    std::atomic<uint32_t> timeBase{0};
    ClientWindows windows;
    ClientFlags flags;
    NotifyState notify;
    timecode::TimeCodeState timeCode;
    HINSTANCE instance = nullptr;
    mapping::MapCopy globalMap{};
    mapping::NrpnState globalNrpn{};
    uint32_t sendParmsFirst = 0;
    std::atomic<uint32_t> sysexSpacingMs{0};
    PatchMapCopy patchMap;
    DelayState delays;
    SysExOutputState sysexOut;
    // Events each queue (by MonID) dropped because it was full; the queues count into these
    // (they outlive the consumer queues, which come and go with attach and detach).
    std::atomic<uint64_t> queueDrops[CVX_MON_COUNT] = {};
    uint32_t captureReadOffset = 0; // application thread only
    uint64_t handle = 0;            // set by CreateClient
};

inline uint64_t handleOf(const CvxClient* client) {
    return client->handle;
}

} // namespace cvx::core
