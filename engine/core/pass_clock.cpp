#include "core/pass_clock.h"

#include "cvx_platform.h"

namespace cvx::core {

namespace {

thread_local uint32_t tPassTime = 0;
thread_local uint32_t tPassDepth = 0;

} // namespace

PassClock::PassClock() {
    if (tPassDepth++ == 0) {
        tPassTime = timeGetTime();
    }
}

PassClock::~PassClock() {
    --tPassDepth;
}

uint32_t passTime() {
    return tPassDepth > 0 ? tPassTime : timeGetTime();
}

} // namespace cvx::core
