// SIGTERM, SIGINT and SIGHUP close the program the way its Exit command does. The signal
// handler only writes the signal's number into a non-blocking pipe (async-signal-safe); the
// user-interface thread watches the pipe's read end and, when it becomes readable, reads the
// number and starts the normal close. A logout or a `kill` so loses nothing.
#pragma once

namespace corvex {

// Installs the handlers (once per process; later calls return the same descriptor). Returns
// the pipe's read end, -1 when the pipe cannot be made (the signals then keep their default
// action). Call from the main thread before other threads start.
int installTerminationSignals();

// Reads what the handlers wrote: the last signal's number, 0 when nothing was pending.
// Never blocks.
int takeTerminationSignal(int readFd);

// Puts the three signals back to their default action (used once the close has begun, so
// a second Ctrl+C ends a program stuck in its shutdown).
void restoreDefaultTerminationSignals();

} // namespace corvex
