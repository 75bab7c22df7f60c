// An output's sending lane: the wire lock that keeps the output's running-status decision
// and its platform send together, and a ring of short messages waiting for that lock with a
// sender thread of their own.
//
// An output whose device never waits in a send (cvxMidiOutSendNeverBlocks: the loopback,
// ALSA and JACK outputs) is sent to at once on whichever thread produced the message - the
// MIDI input thread, a timer thread, the application - whenever the output is idle (nothing
// queued, no send in progress) and the thread holds no engine lock: a hand-off to another
// thread would only add a wake-up per message. For any other device a send is made at once
// only when the caller is the application thread (the one that opens outputs), holds no
// engine lock, and finds the output idle; the application then sees its own messages on the
// wire when its call returns.
//
// Every other send - from the input thread or a timer thread to a device that may block, or
// behind a busy output - is queued and made by the lane's thread, so a slow or blocked
// device holds up only its own lane. A thread that finds the output busy queues even when
// the device never blocks, so no real-time thread waits for another's send; the lane's thread
// takes the wire lock only when something was queued. A lane sends in the order messages
// were queued; the monitor records are added by whoever sends, under the wire lock, so they
// follow the wire's order. When a lane's ring is full the submitting thread waits for room as
// long as the lane keeps sending (a synchronous send would have held it as long); once the
// lane has completed nothing for 200 ms it counts as stalled, and until it completes a send
// again what does not fit is dropped and counted.
//
// The application thread also sends at once when a device's send blocks while its output
// was idle: it is held for that one call, as any direct send would hold it, and meanwhile
// the output counts as busy, so its later messages queue.
//
// Threads: submit(), sendNeverBlocks(), pushed(), finishedUpTo() and dropped() from any
// thread; setSendNeverBlocks() at open, with the wire lock held; wireLock() by the senders,
// the SysEx pump and closing; construction and destruction on the application thread.
#pragma once

#include "core/client.h"
#include "output/pending_send.h"
#include "output/send_ring.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>

namespace cvx::output {

class OutputLane {
public:
    OutputLane(core::CvxClient& client, uint32_t output);
    ~OutputLane(); // stops and joins the sender thread; what is still queued is dropped
    OutputLane(const OutputLane&) = delete;
    OutputLane& operator=(const OutputLane&) = delete;

    // Sends now when `mayDirect` and the output is idle, else queues for the lane's thread.
    void submit(const PendingSend& send, bool mayDirect);

    // Whether the open device's sends never wait; set at each open with the wire lock held.
    void setSendNeverBlocks(bool neverBlocks) { sendNeverBlocks_.store(neverBlocks); }
    bool sendNeverBlocks() const { return sendNeverBlocks_.load(std::memory_order_relaxed); }

    // The wire lock: held around every platform send to this output and every change of its
    // running-status byte. Never take the engine lock before it.
    std::mutex& wireLock() { return wire_; }

    // Drops what is queued. Call with the wire lock held (closing).
    void discardQueued();

    // Messages dropped because the lane was full while its sender was stalled.
    uint64_t dropped() const { return dropped_.load(std::memory_order_relaxed); }
    // How many messages were queued so far, and whether that many have been sent, skipped
    // or dropped. Any thread.
    uint64_t pushed() const;
    bool finishedUpTo(uint64_t pushed) const;

private:
    void run();
    // Sends what is queued; the wire lock is held. Returns how many monitor records it added.
    uint32_t drainLocked();
    // Wakes the sender if it sleeps.
    void wake();
    // Sleeps until woken; returns at once if something was queued meanwhile.
    void sleep();
    // The ring is full: waits for room while the sender makes progress. False once stalled.
    bool waitForRoom(const PendingSend& send);

    core::CvxClient& client_;
    uint32_t output_;
    std::mutex wire_;
    SendRing ring_;
    std::atomic<uint32_t> signal_{0};
    std::atomic<bool> stopping_{false};
    std::atomic<uint64_t> dropped_{0};
    std::atomic<uint64_t> finished_{0}; // queued messages sent, skipped or discarded
    std::atomic<bool> stalled_{false};
    std::atomic<bool> sleeping_{false};
    std::atomic<bool> sendNeverBlocks_{false};
    std::thread thread_;
};

// Whether the calling thread may send to `lane`'s output at once when it is idle: it holds no
// engine lock, and the device never blocks or the caller is the application thread of
// `client`.
bool maySendDirectly(const core::CvxClient& client, const OutputLane& lane);

// Makes the lane of `output` if it has none (application thread, at open). False when it
// cannot be made.
bool ensureLane(core::CvxClient& client, uint32_t output);

// Stops and frees every lane of the client (DestroyClient).
void destroyLanes(core::CvxClient& client);

// Returns once every message queued so far on any lane of any client has been sent or
// dropped (vmidiSettle, tests); what is queued meanwhile is not waited for. A lane stuck in a
// send holds it up.
void waitLanesIdle();

} // namespace cvx::output
