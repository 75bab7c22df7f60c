// The registration words of the command line ("-install", "-reg", "-regserver",
// "-unregserver"): each does its work and ends the program without a window. Plain C++;
// called once on the main thread before anything else starts.
#pragma once

#include "shell/command_line.h"

#include <string>

namespace corvex {

struct RegistrationOutcome {
    int exitCode = 0;
    std::string message; // one line for the terminal; empty when there is nothing to say
};

// Install rewrites the panic defaults of the engine settings file at `engineSettingsPath`
// so that it names every key explicitly (exit code 0; 1 with a message when the file cannot
// be written). Reg makes the file types and the programs known to the user's desktop
// (desktop_registration.h). Another vendor's tools menu, which both words also wrote, has
// no counterpart on Linux: nothing is written for it. The automation server's words are
// not part of this build: they say so and end with exit code 1, never pretending success.
RegistrationOutcome performRegistration(Registration registration,
                                        const std::string& engineSettingsPath);

} // namespace corvex
