// corvex-thru's work: one input routed to one output by the engine, on the channels asked
// for, with SysEx, realtime and system common messages. The engine routes on its own input
// thread; the session only empties the main queue (the records of what was sent) and gives
// lent SysEx buffers back.
//
// Threads: the program's main thread.
#pragma once

#include "support/engine_client.h"

#include <cstdint>
#include <string>

namespace corvex::examples {

// The route mask of a thru connection: `channels` (bit n = channel n + 1) and the SysEx,
// realtime and system common bits.
uint32_t thruRouteMask(uint16_t channels);

// A route from a loopback cable's input to the same cable's output feeds everything it sends
// back into itself, endlessly and at full speed: a message for the user, empty when the route
// is no such loop.
std::string feedbackLoop(const Device& input, const Device& output);

class ThruSession {
public:
    explicit ThruSession(HWND window);

    // Opens both ports and starts routing; an empty string on success, else what went wrong.
    std::string open(const Device& input, const Device& output, uint16_t channels);
    // One message of the notification loop.
    void handle(const CvxMessage& message);

    // Messages and SysEx pieces the engine sent to the output so far.
    uint64_t sent() const { return sent_; }

private:
    EngineClient client_;
    uint64_t sent_ = 0;
};

} // namespace corvex::examples
