// Work above the MIDI service that vmidiSettle waits for too: the engine queues messages
// that input callbacks routed for sender threads of its own, and a settled service means
// those have gone out as well.
#pragma once

namespace cvx::platform {

using SettleHook = void (*)();

// Sets the hook (null: none). Any thread; the engine sets it once.
void setSettleHook(SettleHook hook);

// Runs the hook, if one is set, on the calling thread.
void runSettleHook();

} // namespace cvx::platform
