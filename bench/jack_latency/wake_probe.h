// How long a thread waiting on a semaphore takes to run after a JACK process callback posts
// it: the hand-off every MIDI input makes from the process callback to the threads that
// parse and route it. The waiting thread runs either with normal scheduling or with
// real-time scheduling, so one run shows what real-time priority would change.
//
// Threads: post() from a JACK process callback (never blocks or allocates); the rest from
// the control thread, with no post() running.
#pragma once

#include "latency_stats.h"

#include <jack/jack.h>
#include <semaphore.h>

#include <atomic>
#include <memory>
#include <thread>

namespace cvx::bench {

class WakeProbe {
public:
    WakeProbe(size_t messages, bool realtime);
    ~WakeProbe();
    WakeProbe(const WakeProbe&) = delete;
    WakeProbe& operator=(const WakeProbe&) = delete;

    // Whether the waiting thread got the scheduling it asked for.
    bool scheduled() const { return scheduled_.load(); }
    bool realtime() const { return realtime_; }

    // Message k was sent at `sentUs` (jack_get_time): wake the waiting thread.
    void post(size_t k, jack_time_t sentUs);
    // Wake-up times in µs, for messages from `first` on that were posted and seen.
    Summary summary(size_t first) const;

private:
    void wait();

    size_t messages_;
    bool realtime_;
    std::unique_ptr<std::atomic<jack_time_t>[]> sent_;
    std::unique_ptr<std::atomic<jack_time_t>[]> woke_;
    std::atomic<size_t> pending_{0};
    std::atomic<bool> stopping_{false};
    std::atomic<bool> scheduled_{false};
    sem_t wake_;
    std::thread waiter_;
};

} // namespace cvx::bench
