// Ends the MIDI service's backends before the process exits. The service otherwise lives
// until the process is gone, so its JACK client never says goodbye; a JACK server that
// waits for its clients (one run with --sync, as the tests' servers are) then hangs on the
// vanished client. Call once on the UI thread, after every port is closed and no timer of
// the player runs any more.
#pragma once

namespace corvex {

void shutDownMidiService();

} // namespace corvex
