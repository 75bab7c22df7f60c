// Sending one short message to one output, and keeping that output's running-status byte
// true to what is on its wire.
//
// Every send takes the engine lock around the running-status decision and the platform
// send, because the input thread, the pumps, the generators and the application all send:
// a status-less message must never leave after another thread changed the wire's status.
#pragma once

#include "core/client.h"

#include <cstdint>

namespace cvx::routing {

// The routed send: the route mask of the event's input decides; with running-status output
// on, a message with the output's current status leaves without its status byte. On sending,
// `event.outPort` becomes the output's device index + 1 and, with `monitor`, the event is
// added to the main queue. Returns whether it was sent.
bool sendRouted(core::CvxClient& client, uint32_t output, EVENT& event, bool monitor);

// The generated-port send: the mask of the generated-event port decides, the message goes
// out whole (a failed send is retried once), the source recorded is the generated-event
// port, and a monitor record is added. Returns whether it was sent.
bool sendGenerated(core::CvxClient& client, uint32_t output, EVENT& event);

// Records that a message with this status reached the output's wire outside the
// running-status logic (whole short messages, SysEx). Call with the engine lock held.
void noteWireStatus(core::OutputPort& port, uint8_t status);

} // namespace cvx::routing
