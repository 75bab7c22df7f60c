#include "routing/output_lane.h"

#include "core/engine_lock.h"
#include "core/engine_memory.h"
#include "platform/rt_priority.h"
#include "platform/settle_hook.h"
#include "routing/send_to_output.h"

#include <chrono>
#include <exception>

namespace cvx::routing {

namespace {

// The lanes' threads serve the real-time input and timer threads: they ask for the same
// real-time priority as the MIDI service's input thread.
constexpr int kLanePriority = 45;

// A full lane whose sender completes nothing for this long is stalled: until it completes a
// send again, what does not fit is dropped at once. Until then a submitter waits for room,
// polling, as a synchronous send would have held it.
constexpr auto kStallAfter = std::chrono::milliseconds(20);
constexpr auto kRoomPoll = std::chrono::microseconds(50);

// Messages queued on any lane of any client and not yet sent or dropped: what vmidiSettle
// waits for.
std::atomic<int64_t> gQueued{0};

void queuedDone(int64_t count) {
    if (count > 0 && gQueued.fetch_sub(count) == count) {
        gQueued.notify_all();
    }
}

} // namespace

void waitLanesIdle() {
    for (int64_t queued = gQueued.load(); queued != 0; queued = gQueued.load()) {
        gQueued.wait(queued);
    }
}

OutputLane::OutputLane(core::CvxClient& client, uint32_t output)
    : client_(client), output_(output), thread_([this] { run(); }) {}

OutputLane::~OutputLane() {
    stopping_.store(true);
    wake();
    thread_.join();
    std::lock_guard wire(wire_);
    discardQueued();
}

void OutputLane::submit(const PendingSend& send, bool mayDirect) {
    if (mayDirect && wire_.try_lock()) {
        std::lock_guard wire(wire_, std::adopt_lock);
        if (ring_.empty()) {
            sendPending(client_, client_.outputs->ports[output_], send);
            return;
        }
    }
    gQueued.fetch_add(1);
    if (ring_.push(send) || waitForRoom(send)) {
        wake();
        return;
    }
    dropped_.fetch_add(1, std::memory_order_relaxed);
    queuedDone(1);
}

bool OutputLane::waitForRoom(const PendingSend& send) {
    wake();
    uint64_t seen = completed_.load();
    auto lastProgress = std::chrono::steady_clock::now();
    while (!stalled_.load()) {
        std::this_thread::sleep_for(kRoomPoll);
        if (ring_.push(send)) {
            return true;
        }
        auto now = std::chrono::steady_clock::now();
        if (uint64_t completed = completed_.load(); completed != seen) {
            seen = completed;
            lastProgress = now;
        } else if (now - lastProgress > kStallAfter) {
            stalled_.store(true);
        }
    }
    return false;
}

void OutputLane::discardQueued() {
    PendingSend send;
    int64_t dropped = 0;
    while (ring_.pop(send)) {
        ++dropped;
    }
    queuedDone(dropped);
}

bool OutputLane::idle() {
    std::lock_guard wire(wire_);
    return ring_.empty();
}

void OutputLane::run() {
    platform::tryRealtimePriority(kLanePriority);
    while (!stopping_.load()) {
        uint32_t seen = signal_.load(std::memory_order_acquire);
        uint32_t recorded = 0;
        {
            std::lock_guard wire(wire_);
            recorded = drainLocked();
        }
        if (recorded > 0) {
            cvxPostMessage(client_.windows.main, WM_CVX_EVENTS, 0, 0);
        }
        if (!stopping_.load()) {
            signal_.wait(seen, std::memory_order_acquire);
        }
    }
}

uint32_t OutputLane::drainLocked() {
    core::OutputPort& port = client_.outputs->ports[output_];
    uint32_t recorded = 0;
    PendingSend send;
    while (ring_.pop(send)) {
        if (sendPending(client_, port, send)) {
            ++recorded;
        }
        completed_.fetch_add(1);
        stalled_.store(false);
        queuedDone(1);
    }
    return recorded;
}

void OutputLane::wake() {
    signal_.fetch_add(1, std::memory_order_release);
    signal_.notify_one();
}

bool maySendDirectly(const core::CvxClient& client) {
    return client.outputs->applicationThread.load(std::memory_order_relaxed) ==
               std::this_thread::get_id() &&
           !core::EngineLock::heldByCaller();
}

bool ensureLane(core::CvxClient& client, uint32_t output) {
    client.outputs->applicationThread.store(std::this_thread::get_id());
    core::OutputPort& port = client.outputs->ports[output];
    if (port.lane.load() != nullptr) {
        return true;
    }
    platform::setSettleHook(waitLanesIdle);
    try {
        port.lane.store(new OutputLane(client, output));
    } catch (const std::exception&) {
        return false; // no memory or no thread for it
    }
    return true;
}

void destroyLanes(core::CvxClient& client) {
    for (core::OutputPort& port : client.outputs->ports) {
        delete port.lane.exchange(nullptr);
    }
}

} // namespace cvx::routing
