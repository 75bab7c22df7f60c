// corvex-dump's work: one input of the engine, every event it delivers printed as the
// monitor's text lines (SysEx as its bytes, 18 to a line), lent SysEx buffers given back.
//
// Threads: the program's main thread.
#pragma once

#include "support/engine_client.h"
#include "views/event_text.h"

#include <cstdint>
#include <ostream>
#include <string>

namespace corvex::examples {

class DumpSession {
public:
    DumpSession(HWND window, std::ostream& out, NumberStyle style);

    // Opens and starts the input and prints the column header; an empty string on success,
    // else what went wrong.
    std::string open(const Device& input);
    // One message of the notification loop.
    void handle(const CvxMessage& message);

    uint64_t linesPrinted() const { return lines_; }

private:
    void printEvents();
    void print(const EVENT& event);

    EngineClient client_;
    std::ostream& out_;
    NumberStyle style_;
    EventText text_;
    std::string line_;
    uint64_t lines_ = 0;
};

} // namespace corvex::examples
