#include "platform/rt_priority.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace cvx::platform {
namespace {

bool setFifo(int priority) {
    sched_param param{};
    param.sched_priority = priority;
    return pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0;
}

// The highest real-time priority an unprivileged thread may take, or 0 for none.
int permittedPriority() {
    rlimit limit{};
    if (getrlimit(RLIMIT_RTPRIO, &limit) != 0) {
        return 0;
    }
    return limit.rlim_cur == RLIM_INFINITY ? sched_get_priority_max(SCHED_FIFO)
                                           : static_cast<int>(limit.rlim_cur);
}

} // namespace

bool tryRealtimePriority(int priority) {
    const char* env = std::getenv("CORVEX_RT");
    if (env != nullptr && std::strcmp(env, "0") == 0) {
        return false;
    }
    const int lo = sched_get_priority_min(SCHED_FIFO);
    const int hi = sched_get_priority_max(SCHED_FIFO);
    if (lo < 0 || hi < 0) {
        return false;
    }
    const int wanted = std::clamp(priority, lo, hi);
    if (setFifo(wanted)) {
        return true;
    }
    const int permitted = permittedPriority();
    return permitted >= lo && permitted < wanted && setFifo(permitted);
}

} // namespace cvx::platform
