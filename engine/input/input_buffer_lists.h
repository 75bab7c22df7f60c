// The SysEx buffer lists of a client's inputs. Every function expects the engine lock held.
#pragma once

#include "core/client.h"

namespace cvx::input {

// The list entry of an input, or nullptr.
core::InputBufferList* findBufferList(core::InputPortTable& table, HMIDIIN handle);
// The entry of an input, made on first use; nullptr when the table is full.
core::InputBufferList* ensureBufferList(core::InputPortTable& table, HMIDIIN handle,
                                        uint32_t index);
// Takes an input's buffers out of the table (closing the gap) and returns them.
core::SysExBuffer* detachBufferList(core::InputPortTable& table, HMIDIIN handle);
// Whether `header` is one of the input's buffers.
bool holdsBuffer(const core::InputBufferList& list, const MIDIHDR* header);

} // namespace cvx::input
