// What the transports ask of the engine: the time-code and clock generators, the sync
// commands and the full-frame message. ClientTransportEngine makes the calls on the
// application's engine client; tests put a recorder in its place.
//
// Threads: the user-interface thread only.
#pragma once

#include <array>
#include <cstdint>

namespace corvex {

class TransportEngine {
public:
    virtual ~TransportEngine() = default;
    virtual void configMtc(uint16_t rateCode, uint16_t accuracyMs, uint32_t start) = 0;
    virtual void startMtc() = 0;
    virtual void stopMtc(bool reset) = 0;
    virtual void sendFullFrame(const std::array<uint8_t, 10>& message) = 0;
    virtual void configSync(uint16_t accuracyMs, uint16_t tempoTimes100, uint16_t timebase) = 0;
    virtual void startClock() = 0;
    virtual void stopClock() = 0;
    virtual void syncCommand(uint16_t command, uint16_t value) = 0;
};

class ClientTransportEngine : public TransportEngine {
public:
    explicit ClientTransportEngine(uint64_t client) : client_(client) {}
    void configMtc(uint16_t rateCode, uint16_t accuracyMs, uint32_t start) override;
    void startMtc() override;
    void stopMtc(bool reset) override;
    void sendFullFrame(const std::array<uint8_t, 10>& message) override;
    void configSync(uint16_t accuracyMs, uint16_t tempoTimes100, uint16_t timebase) override;
    void startClock() override;
    void stopClock() override;
    void syncCommand(uint16_t command, uint16_t value) override;

private:
    uint64_t client_;
};

} // namespace corvex
