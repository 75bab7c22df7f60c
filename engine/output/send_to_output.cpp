#include "output/send_to_output.h"

#include "core/client_ops.h"
#include "midi/message_classes.h"

namespace cvx::routing {

namespace {

using core::CvxClient;
using core::EngineGuard;
using core::OutputPort;

// What the routed send puts on the wire, or 0 when the message does not go out.
struct RoutedDecision {
    bool send = false;
    uint32_t wireMessage = 0;
};

RoutedDecision decideRouted(OutputPort& port, uint32_t message, uint32_t mask, bool runStatusOn) {
    uint8_t status = midi::statusOf(message);
    if (status == port.runningStatus && status != 0) {
        if ((mask & midi::channelBit(status)) == 0) {
            return {};
        }
        return {true, runStatusOn ? message >> 8 : message};
    }
    if (midi::isChannelStatus(status)) {
        if ((mask & midi::channelBit(status)) == 0) {
            return {};
        }
        port.runningStatus = status;
        return {true, message};
    }
    if (status < 0xF8) {
        port.runningStatus = 0;
    }
    return {midi::maskPasses(mask, status), message};
}

void recordSent(OutputPort& port, uint8_t status, uint32_t source) {
    port.statusBits.fetch_or(midi::outputStatusBit(status));
    port.lastTime.store(timeGetTime());
    port.lastSource.store(source);
}

} // namespace

void noteWireStatus(OutputPort& port, uint8_t status) {
    if (midi::isChannelStatus(status)) {
        port.runningStatus = status;
    } else if (status < 0xF8) {
        port.runningStatus = 0;
    }
}

bool sendRouted(CvxClient& client, uint32_t output, EVENT& event, bool monitor) {
    OutputPort& port = client.outputs->ports[output];
    EngineGuard guard(core::engineLock());
    HMIDIOUT handle = port.handle.load();
    if (handle == nullptr) {
        return false;
    }
    RoutedDecision decision = decideRouted(port, event.message, port.portMap.mask(event.port),
                                           client.flags.runningStatusOutput.load() != 0);
    if (!decision.send) {
        return false;
    }
    if (midiOutShortMsg(handle, decision.wireMessage & 0xFFFFFF) != MMSYSERR_NOERROR) {
        // Nothing went out: no record of it, and the next message carries its status whole.
        port.runningStatus = 0;
        return false;
    }
    recordSent(port, midi::statusOf(event.message), event.port);
    event.outPort = static_cast<uint8_t>(port.deviceIndex.load() + 1);
    if (monitor) {
        client.mainQueue->enqueue(event);
    }
    return true;
}

bool sendGenerated(CvxClient& client, uint32_t output, EVENT& event) {
    OutputPort& port = client.outputs->ports[output];
    EngineGuard guard(core::engineLock());
    HMIDIOUT handle = port.handle.load();
    uint8_t status = midi::statusOf(event.message);
    if (handle == nullptr || !midi::maskPasses(port.portMap.mask(core::kGeneratedPort), status)) {
        return false;
    }
    uint32_t wire = event.message & 0xFFFFFF;
    if (midiOutShortMsg(handle, wire) != MMSYSERR_NOERROR &&
        midiOutShortMsg(handle, wire) != MMSYSERR_NOERROR) {
        port.runningStatus = 0; // nothing went out, and nothing is recorded as sent
        return false;
    }
    noteWireStatus(port, status);
    recordSent(port, status, core::kGeneratedPort);
    event.outPort = static_cast<uint8_t>(port.deviceIndex.load() + 1);
    client.mainQueue->enqueue(event);
    return true;
}

} // namespace cvx::routing
