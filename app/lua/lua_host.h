// What the script engine needs from the program: the MIDI it sends and receives through the
// engine client, the names of the open ports and the clock. EngineLuaHost is the real one;
// tests may hand their own.
//
// Threads: the user-interface thread only.
#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>

namespace corvex {

// One short message taken from the engine's Lua queue.
struct LuaInput {
    int port = 0; // input device index (255 when unknown)
    uint8_t status = 0;
    uint8_t data1 = 0;
    uint8_t data2 = 0;
};

class LuaHost {
public:
    virtual ~LuaHost() = default;

    // corvexEventDirect, type 2: at once to output index `output`, or every output for -1.
    virtual void sendDirect(int output, uint8_t status, uint8_t data1, uint8_t data2) = 0;
    // SendSysEx: one block from the generated-event port (1-65535 bytes).
    virtual void sendSysEx(std::span<const uint8_t> bytes) = 0;
    // CorvexLuaEvent: a message passed on as if it came from input `port`.
    virtual void passOn(int port, uint8_t status, uint8_t data1, uint8_t data2) = 0;
    // Takes the oldest message of the Lua queue; false when it is empty.
    virtual bool nextInput(LuaInput& input) = 0;
    // Open ports by device index: the custom name when there is one, else the device name.
    virtual std::map<int, std::string> openInputs() const = 0;
    virtual std::map<int, std::string> openOutputs() const = 0;
    // Milliseconds since the system started.
    virtual uint32_t tickMs() const = 0;
};

} // namespace corvex
