// Messages the application and the engine's generators make, injected as coming from the
// generated-event port (or, for a map event, from an input). Application thread, or a
// generator's timer callback, with the client's lock held as for any routing.
#pragma once

#include "core/client.h"

#include <cstdint>

namespace cvx::core {

// The origin mark an injection type (corvexEvent's `type`) leaves in byte 3 of the message.
uint32_t originMark(int type);
// A short message from its parts. Data bytes are kept to 7 bits: a caller's value above 127
// would otherwise reach the wire as a status byte and corrupt the receiver's parsing of
// everything after it.
uint32_t packMessage(uint32_t status, uint32_t data1, uint32_t data2, uint32_t mark);
// An event of `message` stamped now, from `port`.
EVENT injectedEvent(CvxClient& client, uint32_t message, uint32_t port);
// After an injection: starts the delay pump when needed, wakes the main window and feeds
// the time-code trackers.
void finishInjection(CvxClient& client, const EVENT& event);

// A message from the generated-event port, routed with its masks; type 1 (PC keyboard)
// goes through the global map when that maps the keyboard.
void inject(CvxClient& client, uint32_t message, int type);

// A message of the engine's own generators (time code, clock, sync commands): injected as
// corvexEvent type 0 is, routed with the generated-event port's masks and tracked.
void injectGenerated(CvxClient& client, uint8_t status, uint8_t data1, uint8_t data2);

} // namespace cvx::core
