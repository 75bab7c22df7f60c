#include "output/output_lane.h"

#include "core/client_ops.h"
#include "core/engine_lock.h"
#include "output/send_to_output.h"
#include "platform/rt_priority.h"
#include "platform/settle_hook.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <vector>

namespace cvx::output {

namespace {

// The lanes' threads serve the real-time input and timer threads: they ask for the same
// real-time priority as the MIDI service's input thread.
constexpr int kLanePriority = 45;

// A full lane whose sender completes nothing for this long is stalled: until it completes a
// send again, what does not fit is dropped at once. Until then a submitter waits for room,
// polling, as a synchronous send would have held it.
constexpr auto kStallAfter = std::chrono::milliseconds(200);
constexpr auto kRoomPoll = std::chrono::microseconds(50);

// Every lane of every client, for waitLanesIdle(). Changed on application threads only.
std::mutex gLanesMutex;
std::vector<OutputLane*> gLanes;

// Monitor records of sends a lane made, added to the main queue in one locked pass.
class RecordBatch {
public:
    explicit RecordBatch(core::CvxClient& client) : client_(client) {}
    ~RecordBatch() { flush(); }

    void add(const EVENT& record) {
        if (count_ == kCapacity) {
            flush();
        }
        records_[count_++] = record;
        ++added_;
    }

    void flush() {
        if (count_ == 0) {
            return;
        }
        core::EngineGuard guard(core::engineLock());
        for (uint32_t i = 0; i < count_; ++i) {
            client_.mainQueue->enqueue(records_[i]);
        }
        count_ = 0;
    }

    uint32_t added() const { return added_; }

private:
    static constexpr uint32_t kCapacity = 64;
    core::CvxClient& client_;
    EVENT records_[kCapacity];
    uint32_t count_ = 0;
    uint32_t added_ = 0;
};

} // namespace

void waitLanesIdle() {
    struct Target {
        OutputLane* lane;
        uint64_t pushed;
    };
    std::vector<Target> targets;
    {
        std::lock_guard guard(gLanesMutex);
        for (OutputLane* lane : gLanes) {
            targets.push_back({lane, lane->pushed()});
        }
    }
    for (;;) {
        bool done = true;
        {
            std::lock_guard guard(gLanesMutex);
            for (const Target& target : targets) {
                bool live = std::find(gLanes.begin(), gLanes.end(), target.lane) != gLanes.end();
                done = done && (!live || target.lane->finishedUpTo(target.pushed));
            }
        }
        if (done) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
}

OutputLane::OutputLane(core::CvxClient& client, uint32_t output)
    : client_(client), output_(output), thread_([this] { run(); }) {
    std::lock_guard guard(gLanesMutex);
    gLanes.push_back(this);
}

OutputLane::~OutputLane() {
    {
        std::lock_guard guard(gLanesMutex);
        std::erase(gLanes, this);
    }
    stopping_.store(true);
    signal_.fetch_add(1, std::memory_order_release);
    signal_.notify_one();
    thread_.join();
    std::lock_guard wire(wire_);
    discardQueued();
}

void OutputLane::submit(const PendingSend& send, bool mayDirect) {
    if (mayDirect && wire_.try_lock()) {
        std::lock_guard wire(wire_, std::adopt_lock);
        if (ring_.empty()) {
            EVENT record{};
            if (routing::sendPending(client_, client_.outputs->ports[output_], send, record)) {
                core::addToMainQueue(client_, record);
            }
            return;
        }
    }
    if (ring_.push(send) || waitForRoom(send)) {
        wake();
        return;
    }
    dropped_.fetch_add(1, std::memory_order_relaxed);
}

bool OutputLane::waitForRoom(const PendingSend& send) {
    wake();
    uint64_t seen = finished_.load();
    auto lastProgress = std::chrono::steady_clock::now();
    while (!stalled_.load()) {
        std::this_thread::sleep_for(kRoomPoll);
        if (ring_.push(send)) {
            return true;
        }
        auto now = std::chrono::steady_clock::now();
        if (uint64_t finished = finished_.load(); finished != seen) {
            seen = finished;
            lastProgress = now;
        } else if (now - lastProgress > kStallAfter) {
            stalled_.store(true);
        }
    }
    return false;
}

void OutputLane::discardQueued() {
    PendingSend send;
    while (ring_.pop(send)) {
        finished_.fetch_add(1, std::memory_order_release);
    }
}

uint64_t OutputLane::pushed() const {
    return ring_.pushed();
}

bool OutputLane::finishedUpTo(uint64_t pushed) const {
    return finished_.load(std::memory_order_acquire) >= pushed;
}

void OutputLane::run() {
    platform::tryRealtimePriority(kLanePriority);
    // The wire lock is taken only when something was queued, so an output whose sends are
    // all made directly never finds its lane's thread in the way.
    for (sleep(); !stopping_.load(); sleep()) {
        uint32_t recorded = 0;
        {
            std::lock_guard wire(wire_);
            recorded = drainLocked();
        }
        if (recorded > 0) {
            cvxPostMessage(client_.windows.main, WM_CVX_EVENTS, 0, 0);
        }
    }
}

uint32_t OutputLane::drainLocked() {
    core::OutputPort& port = client_.outputs->ports[output_];
    RecordBatch records(client_);
    PendingSend send;
    EVENT record{};
    while (ring_.pop(send)) {
        if (routing::sendPending(client_, port, send, record)) {
            records.add(record);
        }
        if (stalled_.load(std::memory_order_relaxed)) {
            stalled_.store(false);
        }
        finished_.fetch_add(1, std::memory_order_release);
    }
    records.flush();
    return records.added();
}

void OutputLane::sleep() {
    uint32_t seen = signal_.load();
    sleeping_.store(true);
    // Either wake() counted its message before this reads the count (and then the message
    // is in the ring), or wake() sees this sender asleep and wakes it.
    if (signal_.load() == seen && ring_.empty() && !stopping_.load()) {
        signal_.wait(seen);
    }
    sleeping_.store(false);
}

void OutputLane::wake() {
    signal_.fetch_add(1);
    if (sleeping_.load()) {
        signal_.notify_one();
    }
}

bool maySendDirectly(const core::CvxClient& client, const OutputLane& lane) {
    return (lane.sendNeverBlocks() ||
            client.outputs->applicationThread.load(std::memory_order_relaxed) ==
                std::this_thread::get_id()) &&
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

} // namespace cvx::output
