// The process-wide list of open inputs: 136 entries of (input handle, owning client), used
// to validate the handles the application hands back with RetBuf and CloseMidiIn.
#pragma once

#include "core/client.h"

namespace cvx::ports {

// False when all 136 entries are taken (the input is then not registered).
bool registerInput(HMIDIIN handle, core::CvxClient* client);
void unregisterInput(HMIDIIN handle);
// The client that opened a registered input; nullptr when the handle is not registered.
core::CvxClient* clientOfInput(HMIDIIN handle);

} // namespace cvx::ports
