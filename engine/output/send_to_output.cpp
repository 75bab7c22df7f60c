#include "output/send_to_output.h"

#include "core/client_ops.h"
#include "core/pass_clock.h"
#include "midi/message_classes.h"
#include "output/output_lane.h"

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

// The status view reads these records without ordering them against anything else, so
// relaxed order does: a sequentially consistent store costs a locked exchange per send.
void recordSent(OutputPort& port, uint8_t status, uint32_t source) {
    port.statusBits.fetch_or(midi::outputStatusBit(status), std::memory_order_relaxed);
    port.lastTime.store(core::passTime(), std::memory_order_relaxed);
    port.lastSource.store(source, std::memory_order_relaxed);
}

// Sends through the route: running status applies. False when nothing went out.
bool sendRoutedNow(CvxClient& client, OutputPort& port, HMIDIOUT handle,
                   const output::PendingSend& send) {
    RoutedDecision decision = decideRouted(port, send.event.message, send.mask,
                                           client.flags.runningStatusOutput.load() != 0);
    if (!decision.send) {
        return false;
    }
    if (midiOutShortMsg(handle, decision.wireMessage & 0xFFFFFF) != MMSYSERR_NOERROR) {
        // Nothing went out: no record of it, and the next message carries its status whole.
        port.runningStatus = 0;
        port.sendFailures.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    recordSent(port, midi::statusOf(send.event.message), send.event.port);
    return true;
}

// Sends whole, retried once. False when nothing went out.
bool sendGeneratedNow(OutputPort& port, HMIDIOUT handle, const output::PendingSend& send) {
    uint8_t status = midi::statusOf(send.event.message);
    uint32_t wire = send.event.message & 0xFFFFFF;
    if (midiOutShortMsg(handle, wire) != MMSYSERR_NOERROR &&
        midiOutShortMsg(handle, wire) != MMSYSERR_NOERROR) {
        port.runningStatus = 0; // nothing went out, and nothing is recorded as sent
        port.sendFailures.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    noteWireStatus(port, status);
    recordSent(port, status, core::kGeneratedPort);
    return true;
}

bool handToLane(CvxClient& client, OutputPort& port, const output::PendingSend& send) {
    output::OutputLane* lane = port.lane.load(std::memory_order_acquire);
    if (lane == nullptr) {
        return false;
    }
    lane->submit(send, output::maySendDirectly(client, *lane));
    return true;
}

} // namespace

void noteWireStatus(OutputPort& port, uint8_t status) {
    if (midi::isChannelStatus(status)) {
        port.runningStatus = status;
    } else if (status < 0xF8) {
        port.runningStatus = 0;
    }
}

bool sendPending(CvxClient& client, OutputPort& port, const output::PendingSend& send,
                 EVENT& record) {
    HMIDIOUT handle = port.handle.load();
    if (handle == nullptr || handle != send.handle) {
        return false; // closed (or reopened) since it was routed
    }
    bool sent = send.kind == output::SendKind::Routed ? sendRoutedNow(client, port, handle, send)
                                                      : sendGeneratedNow(port, handle, send);
    if (!sent || (send.kind == output::SendKind::Routed && !send.monitor)) {
        return false;
    }
    record = send.event;
    record.outPort = static_cast<uint8_t>(port.deviceIndex.load() + 1);
    return true;
}

bool sendRouted(CvxClient& client, uint32_t output, const EVENT& event, bool monitor) {
    OutputPort& port = client.outputs->ports[output];
    HMIDIOUT handle = port.handle.load();
    if (handle == nullptr) {
        return false;
    }
    uint32_t mask = port.portMap.mask(event.port);
    uint8_t status = midi::statusOf(event.message);
    if (midi::isChannelStatus(status) && (mask & midi::channelBit(status)) == 0) {
        return false; // neither sent nor a change of the wire's status
    }
    return handToLane(client, port,
                      output::PendingSend{event, handle, mask, output::SendKind::Routed, monitor});
}

bool sendGenerated(CvxClient& client, uint32_t output, const EVENT& event) {
    OutputPort& port = client.outputs->ports[output];
    HMIDIOUT handle = port.handle.load();
    if (handle == nullptr ||
        !midi::maskPasses(port.portMap.mask(core::kGeneratedPort), midi::statusOf(event.message))) {
        return false;
    }
    return handToLane(client, port,
                      output::PendingSend{event, handle, 0, output::SendKind::Generated, true});
}

} // namespace cvx::routing
