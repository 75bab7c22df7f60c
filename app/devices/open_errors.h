// Names and texts of the results of opening a MIDI port, for the device log and for the user.
// Safe on any thread (no state).
#pragma once

#include "cvx_platform.h"

#include <string>

namespace corvex {

enum class PortDirection { Input, Output };

// "MMSYSERR_NOERROR" ... "MIDIERR_DONT_CONTINUE", else "MMRESULT_UNKNOWN".
const char* openErrorName(MMRESULT code);

// The explanation of a result: our own wording for the common failures, else the MIDI
// service's error text for the direction.
std::string openErrorText(MMRESULT code, PortDirection direction);

// "<port>: <text> [<name>: <code>]", "Unknown" for an empty port name; at most 511
// characters.
std::string describeOpenError(MMRESULT code, const std::string& portName, PortDirection direction);

} // namespace corvex
