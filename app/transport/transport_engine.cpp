#include "transport/transport_engine.h"

#include "cvxlib.h"

namespace corvex {

// The results are not looked at: a generator that is already running or stopped, or a
// full frame that cannot be sent, leaves the transport as it is.
void ClientTransportEngine::configMtc(uint16_t rateCode, uint16_t accuracyMs, uint32_t start) {
    ConfigMTC(client_, rateCode, accuracyMs, start);
}

void ClientTransportEngine::startMtc() {
    GenMTCStart(client_);
}

void ClientTransportEngine::stopMtc(bool reset) {
    GenMTCStop(client_, reset ? 1 : 0);
}

void ClientTransportEngine::sendFullFrame(const std::array<uint8_t, 10>& message) {
    std::array<char, 10> bytes{};
    for (size_t i = 0; i < message.size(); ++i) {
        bytes[i] = static_cast<char>(message[i]);
    }
    SendSysEx(client_, bytes.data(), static_cast<uint16_t>(bytes.size()));
}

void ClientTransportEngine::configSync(uint16_t accuracyMs, uint16_t tempoTimes100,
                                       uint16_t timebase) {
    ConfigSync(client_, accuracyMs, tempoTimes100, timebase);
}

void ClientTransportEngine::startClock() {
    StartClock(client_);
}

void ClientTransportEngine::stopClock() {
    StopClock(client_);
}

void ClientTransportEngine::syncCommand(uint16_t command, uint16_t value) {
    SyncCmd(client_, command, value);
}

} // namespace corvex
