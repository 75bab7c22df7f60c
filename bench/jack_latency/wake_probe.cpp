#include "wake_probe.h"

#include <pthread.h>
#include <sched.h>

#include <cerrno>
#include <vector>

namespace cvx::bench {
namespace {

// Below the JACK server's and its clients' process threads, above everything else.
constexpr int kRealtimePriority = 5;

} // namespace

WakeProbe::WakeProbe(size_t messages, bool realtime)
    : messages_(messages), realtime_(realtime),
      sent_(std::make_unique<std::atomic<jack_time_t>[]>(messages)),
      woke_(std::make_unique<std::atomic<jack_time_t>[]>(messages)) {
    sem_init(&wake_, 0, 0);
    waiter_ = std::thread(&WakeProbe::wait, this);
}

WakeProbe::~WakeProbe() {
    stopping_ = true;
    sem_post(&wake_);
    waiter_.join();
    sem_destroy(&wake_);
}

void WakeProbe::post(size_t k, jack_time_t sentUs) {
    if (k >= messages_) {
        return;
    }
    sent_[k].store(sentUs, std::memory_order_relaxed);
    pending_.store(k, std::memory_order_release);
    sem_post(&wake_);
}

void WakeProbe::wait() {
    if (realtime_) {
        sched_param param{};
        param.sched_priority = kRealtimePriority;
        scheduled_ = pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0;
    } else {
        scheduled_ = true;
    }
    for (;;) {
        while (sem_wait(&wake_) != 0 && errno == EINTR) {
        }
        const jack_time_t now = jack_get_time();
        if (stopping_) {
            return;
        }
        woke_[pending_.load(std::memory_order_acquire)].store(now, std::memory_order_relaxed);
    }
}

Summary WakeProbe::summary(size_t first) const {
    std::vector<double> wakeUps;
    for (size_t k = first; k < messages_; ++k) {
        const jack_time_t sent = sent_[k].load();
        const jack_time_t woke = woke_[k].load();
        if (sent != 0 && woke >= sent) {
            wakeUps.push_back(static_cast<double>(woke - sent));
        }
    }
    return summarise(wakeUps);
}

} // namespace cvx::bench
