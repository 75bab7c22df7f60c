// SysEx output: blocks cut into the outputs' SysEx buffers, queued with due times spaced by
// the client's SysEx spacing, and sent by a one-shot-timer pump in queue order.
#pragma once

#include "core/client.h"

#include <cstdint>

namespace cvx::output {

// Sends a block to every open output whose route mask for the generated-event port passes
// SysEx, as coming from input `source` (249 and above count as the generated-event port).
// Returns MMSYSERR_NOERROR, MMSYSERR_INVALHANDLE (5) when no output is open, or
// MMSYSERR_NOMEM (7) when an output had no free buffer for a piece.
uint16_t sendSysExBlock(core::CvxClient& client, const uint8_t* data, uint32_t length,
                        uint32_t source);

// Takes the output's buffers out of the send queue, resets the output and frees them.
// Never call it with the engine lock held.
void freeOutputBuffers(core::CvxClient& client, uint32_t output);

} // namespace cvx::output
