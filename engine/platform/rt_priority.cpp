#include "platform/rt_priority.h"

#include <pthread.h>
#include <sched.h>

#include <cstdlib>
#include <cstring>

namespace cvx::platform {

bool tryRealtimePriority(int priority) {
    const char* env = std::getenv("CORVEX_RT");
    if (env != nullptr && std::strcmp(env, "0") == 0) {
        return false;
    }
    int lo = sched_get_priority_min(SCHED_FIFO);
    int hi = sched_get_priority_max(SCHED_FIFO);
    if (lo < 0 || hi < 0) {
        return false;
    }
    sched_param param{};
    param.sched_priority = priority < lo ? lo : (priority > hi ? hi : priority);
    return pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0;
}

} // namespace cvx::platform
