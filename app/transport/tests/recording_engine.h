// A transport engine that writes down every call as text, and an MTC link likewise.
#pragma once

#include "transport/sync_transport.h"
#include "transport/transport_engine.h"

#include <string>
#include <utility>
#include <vector>

namespace corvex::testing {

class RecordingEngine : public TransportEngine, public MtcLink {
public:
    std::vector<std::string> calls;

    std::vector<std::string> take() { return std::exchange(calls, {}); }

    void configMtc(uint16_t rate, uint16_t ms, uint32_t start) override {
        add("configMtc " + std::to_string(rate) + " " + std::to_string(ms) + " " + hex(start));
    }
    void startMtc() override { add("startMtc"); }
    void stopMtc(bool reset) override { add(reset ? "stopMtc reset" : "stopMtc keep"); }
    void sendFullFrame(const std::array<uint8_t, 10>& m) override {
        std::string text = "fullFrame";
        for (uint8_t b : m) {
            text += " " + hex(b, 2);
        }
        add(text);
    }
    void configSync(uint16_t ms, uint16_t tempo, uint16_t timebase) override {
        add("configSync " + std::to_string(ms) + " " + std::to_string(tempo) + " " +
            std::to_string(timebase));
    }
    void startClock() override { add("startClock"); }
    void stopClock() override { add("stopClock"); }
    void syncCommand(uint16_t command, uint16_t value) override {
        add("sync " + std::to_string(command) + " " + std::to_string(value));
    }

    void openMtcTransport() override { add("mtc open"); }
    void lockMtcTransport(bool locked) override { add(locked ? "mtc lock" : "mtc unlock"); }
    void pressMtcPlay() override { add("mtc play"); }
    void pressMtcPause() override { add("mtc pause"); }
    void pressMtcStop() override { add("mtc stop"); }
    void pressMtcRewind() override { add("mtc rewind"); }

private:
    void add(std::string call) { calls.push_back(std::move(call)); }
    static std::string hex(uint32_t value, int width = 8) {
        char text[16];
        std::snprintf(text, sizeof text, "%0*X", width, value);
        return text;
    }
};

} // namespace corvex::testing
