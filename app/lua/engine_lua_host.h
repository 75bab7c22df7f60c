// The script engine's host on a real engine client: sending, passing on and the Lua queue
// go to the engine; the port names come from a function the program gives (the device
// manager's open ports).
//
// Threads: the user-interface thread only.
#pragma once

#include "lua/lua_host.h"

#include <functional>

namespace corvex {

class EngineLuaHost : public LuaHost {
public:
    // Open ports by device index, inputs when `inputs` is set, else outputs.
    using PortNames = std::function<std::map<int, std::string>(bool inputs)>;

    EngineLuaHost(uint64_t client, PortNames portNames);

    void setClient(uint64_t client) { client_ = client; }
    uint64_t client() const { return client_; }

    void sendDirect(int output, uint8_t status, uint8_t data1, uint8_t data2) override;
    void sendSysEx(std::span<const uint8_t> bytes) override;
    void passOn(int port, uint8_t status, uint8_t data1, uint8_t data2) override;
    bool nextInput(LuaInput& input) override;
    std::map<int, std::string> openInputs() const override;
    std::map<int, std::string> openOutputs() const override;
    uint32_t tickMs() const override;

private:
    uint64_t client_;
    PortNames portNames_;
};

} // namespace corvex
