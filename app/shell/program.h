// The program's entry: the Linux conventions (--help, --version), the registration words,
// the command line's verdict, the hand-off to a running instance, the instance slot, and
// then the application's start, message loop and shutdown. Returns the exit code.
// Threads: the main thread, once per process.
#pragma once

namespace corvex {

int runCorvex(int argc, char** argv);

} // namespace corvex
