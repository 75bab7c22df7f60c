// Sending one short message to one output, and keeping that output's running-status byte
// true to what is on its wire.
//
// The input thread, the pumps, the generators and the application all send. Each message is
// handed to the output's lane (output_lane.h), which makes the running-status decision and
// the platform send together under the output's wire lock, so a status-less message never
// leaves after another thread changed the wire's status; the engine lock is never held
// across a platform send.
#pragma once

#include "core/client.h"
#include "output/pending_send.h"

#include <cstdint>

namespace cvx::routing {

// The routed send: the route mask of the event's input decides; with running-status output
// on, a message with the output's current status leaves without its status byte. Once sent,
// the event is recorded with `outPort` set to the output's device index + 1 and, with
// `monitor`, added to the main queue. Returns whether it was handed to the output (sent or
// queued for it).
bool sendRouted(core::CvxClient& client, uint32_t output, const EVENT& event, bool monitor);

// The generated-port send: the mask of the generated-event port decides, the message goes
// out whole (a failed send is retried once), the source recorded is the generated-event
// port, and a monitor record is added. Returns whether it was handed to the output.
bool sendGenerated(core::CvxClient& client, uint32_t output, const EVENT& event);

// Makes one queued send: called by the output's lane with its wire lock held. Returns
// whether the send calls for a monitor record, and the record; the lane adds it to the main
// queue before it lets go of the wire lock, so records keep the wire's order.
bool sendPending(core::CvxClient& client, core::OutputPort& port, const output::PendingSend& send,
                 EVENT& record);

// Records that a message with this status reached the output's wire outside the
// running-status logic (SysEx). Call with the output's wire lock held.
void noteWireStatus(core::OutputPort& port, uint8_t status);

} // namespace cvx::routing
