// One reading of the millisecond clock for a whole pass of an event through the engine.
//
// Routing one message records the time several times: the input's last activity, each
// output's last send and the main window's notification tick. A clock read costs about as
// much as sending the message to one output, and within one pass the readings would differ
// by microseconds, so the pass reads the clock once and every record of it uses that.
//
// Any thread. A pass belongs to the thread that opened it; passes nest, the inner one keeps
// the outer one's reading. Neither call allocates, blocks or logs.
#pragma once

#include <cstdint>

namespace cvx::core {

class PassClock {
public:
    PassClock();
    ~PassClock();
    PassClock(const PassClock&) = delete;
    PassClock& operator=(const PassClock&) = delete;
};

// timeGetTime() as read when this thread's open pass began; outside a pass, timeGetTime().
uint32_t passTime();

} // namespace cvx::core
