// An engine client whose generated-event port ("Corvex Events") is routed to the first
// loopback cable, with the bytes that reached the cable read back in order.
//
// Threads: the test's thread.
#pragma once

#include "cvxlib.h"

#include <cstdint>
#include <vector>

namespace corvex::testing {

class EventTap {
public:
    EventTap();  // opens the cable; ready() says whether that worked
    ~EventTap(); // closes it and destroys the client
    EventTap(const EventTap&) = delete;
    EventTap& operator=(const EventTap&) = delete;

    bool ready() const { return output_ != nullptr; }
    uint64_t client() const { return client_; }
    // Every byte sent since the last call.
    std::vector<uint8_t> take();

private:
    HWND target_ = nullptr;
    uint64_t client_ = 0;
    HMIDIOUT output_ = nullptr;
};

} // namespace corvex::testing
