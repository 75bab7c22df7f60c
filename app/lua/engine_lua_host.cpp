#include "lua/engine_lua_host.h"

#include "cvxcore.h"
#include "cvxlib.h"

#include <vector>

namespace corvex {

EngineLuaHost::EngineLuaHost(uint64_t client, PortNames portNames)
    : client_(client), portNames_(std::move(portNames)) {}

void EngineLuaHost::sendDirect(int output, uint8_t status, uint8_t data1, uint8_t data2) {
    corvexEventDirect(client_, output, status, data1, data2, 2);
}

void EngineLuaHost::sendSysEx(std::span<const uint8_t> bytes) {
    if (bytes.empty() || bytes.size() > 0xFFFF) {
        return;
    }
    std::vector<char> block(bytes.begin(), bytes.end());
    SendSysEx(client_, block.data(), static_cast<uint16_t>(block.size()));
}

void EngineLuaHost::passOn(int port, uint8_t status, uint8_t data1, uint8_t data2) {
    CorvexLuaEvent(client_, port, status, data1, data2);
}

bool EngineLuaHost::nextInput(LuaInput& input) {
    EVENT event{};
    if (client_ == 0 || GetEvent(client_, &event, MON_LUA) == 0) {
        return false;
    }
    input.port = event.port;
    input.status = static_cast<uint8_t>(event.message & 0xFF);
    input.data1 = static_cast<uint8_t>((event.message >> 8) & 0x7F);
    input.data2 = static_cast<uint8_t>((event.message >> 16) & 0x7F);
    return true;
}

std::map<int, std::string> EngineLuaHost::openInputs() const {
    return portNames_ ? portNames_(true) : std::map<int, std::string>{};
}

std::map<int, std::string> EngineLuaHost::openOutputs() const {
    return portNames_ ? portNames_(false) : std::map<int, std::string>{};
}

uint32_t EngineLuaHost::tickMs() const {
    return GetTickCount();
}

} // namespace corvex
