// The benchmark's own JACK clients, written with plain libjack: a sender with one MIDI
// output port and a receiver with one MIDI input port. Two clients rather than one client
// with both ports: JACK then runs them in graph order (sender, whatever lies between,
// receiver) within a cycle, with no feedback edge whose one-cycle delay would blur what the
// path in between costs.
//
// A run sends numbered Note Ons at the start of every `spacing`-th cycle and records, per
// message, the frame and the wall-clock time (jack_get_time, µs) it left the sender and
// arrived at the receiver, and the start time of every cycle (when the sender, first in the
// graph, ran). The process
// callbacks only write into arrays sized before the run.
//
// Threads: every member function is for one control thread (the benchmark's main thread).
#pragma once

#include "wake_probe.h"

#include <jack/jack.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace cvx::bench {

// Per message k < sent; the latencies and the status are valid where arrived[k].
struct ProbeRun {
    size_t sent = 0;
    std::vector<bool> arrived;
    std::vector<uint8_t> status;        // status byte as received (its channel shows a map ran)
    std::vector<int64_t> latencyFrames; // arrival frame - send frame
    std::vector<int64_t> latencyUs;     // receiver cycle start - sender cycle start
    std::vector<jack_time_t> sendUs;    // sender cycle start
    std::vector<jack_time_t> cycleUs;   // start of each cycle during the run (the sender's)
};

class ProbeClients {
public:
    static constexpr size_t kMaxMessages = 16000; // fewer than the probe numbers

    ProbeClients() = default;
    ProbeClients(const ProbeClients&) = delete;
    ProbeClients& operator=(const ProbeClients&) = delete;
    ~ProbeClients() { close(); }

    // Opens and activates both clients on the server JACK_DEFAULT_SERVER names; an empty
    // string on success, else what failed.
    std::string open();
    void close();

    std::string senderPort() const;   // "<sender client>:out"
    std::string receiverPort() const; // "<receiver client>:in"
    jack_client_t* client() const { return sender_; }
    jack_nframes_t rate() const;
    jack_nframes_t period() const;
    // Whether the process callbacks ran with real-time scheduling (known after a run).
    bool realtime() const { return realtime_.load(); }

    // Threads that post() wakes as each message leaves, in the runs that follow; none by
    // default. Set between runs.
    void setWakeProbes(std::array<WakeProbe*, 2> probes) { wakeProbes_ = probes; }

    // Sends `count` messages (at most kMaxMessages), one every `spacing` cycles, then waits
    // until all arrived or `grace` has passed since the last left, calling `whileWaiting`
    // every few milliseconds. Returns early with what it has when `cancel` becomes true, and
    // an empty run when nothing was sent for 10 s (the server's cycles stopped).
    ProbeRun run(size_t count, unsigned spacing, std::chrono::milliseconds grace,
                 const std::atomic<bool>& cancel, const std::function<void()>& whileWaiting);

private:
    static int onSend(jack_nframes_t frames, void* self);
    static int onReceive(jack_nframes_t frames, void* self);
    void send(jack_nframes_t frames);
    void receive(jack_nframes_t frames);
    void notePriority();
    void waitCycles(uint64_t cycles) const;

    jack_client_t* sender_ = nullptr;
    jack_client_t* receiver_ = nullptr;
    jack_port_t* out_ = nullptr;
    jack_port_t* in_ = nullptr;

    // Filled by the process callbacks while armed_; sized by run() while not.
    std::atomic<bool> armed_{false};
    std::atomic<uint64_t> receiverCycles_{0};
    std::atomic<bool> realtime_{false};
    size_t count_ = 0;
    unsigned spacing_ = 1;
    uint64_t senderCycle_ = 0;
    std::atomic<size_t> sent_{0};
    std::atomic<size_t> received_{0};
    std::atomic<size_t> cycles_{0};
    std::vector<jack_nframes_t> sendFrame_;
    std::vector<jack_time_t> sendUs_;
    std::vector<jack_nframes_t> arriveFrame_;
    std::vector<jack_time_t> arriveUs_;
    std::vector<uint8_t> arriveStatus_;
    std::vector<jack_time_t> cycleUs_;
    std::array<WakeProbe*, 2> wakeProbes_{};
};

} // namespace cvx::bench
