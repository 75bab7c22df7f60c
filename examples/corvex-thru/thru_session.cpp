#include "corvex-thru/thru_session.h"

namespace corvex::examples {

uint32_t thruRouteMask(uint16_t channels) {
    return channels | CVX_ROUTE_SYSEX | CVX_ROUTE_REALTIME | CVX_ROUTE_SYSTEM_COMMON;
}

std::string feedbackLoop(const Device& input, const Device& output) {
    if (input.backend != "virtual" || output.backend != "virtual" || input.name != output.name) {
        return {};
    }
    return "\"" + input.name +
           "\" is one loopback cable: what its output sends arrives at its own input, so "
           "routing that input to that output repeats every message endlessly. Route to "
           "another cable's output.";
}

ThruSession::ThruSession(HWND window) : client_(window) {}

std::string ThruSession::open(const Device& input, const Device& output, uint16_t channels) {
    if (std::string loop = feedbackLoop(input, output); !loop.empty()) {
        return loop;
    }
    // The output's route map is indexed by the input's device index.
    CPortMap map{};
    map.inputBits[input.index / 32] = 1u << (input.index % 32);
    map.inputMasks[input.index] = thruRouteMask(channels);
    std::string error = client_.openInput(input);
    if (error.empty()) {
        error = client_.openOutput(output, map);
    }
    if (error.empty()) {
        client_.start();
    }
    return error;
}

void ThruSession::handle(const CvxMessage& message) {
    if (message.msg == WM_CVX_EVENTS) {
        EVENT event{};
        while (GetEvent(client_.handle(), &event, MON_MAIN)) {
            const bool chunk = event.message >> 24 == CVX_ORIGIN_CHUNK;
            sent_ += event.outPort != 0 && !chunk ? 1 : 0;
        }
    } else if (message.msg == WM_CVX_SYSEXDATA) {
        EngineClient::giveBack(message);
    }
}

} // namespace corvex::examples
