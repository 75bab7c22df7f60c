// The input path of a short message: blocker, raw monitor, patch-map intercept, time-code
// and clock tracking, Lua divert, filter, then the processing loop.
#pragma once

#include "core/client.h"

#include <cstdint>

namespace cvx::input {

void processShortMessage(core::CvxClient& client, HMIDIIN handle, uint32_t message,
                         uint32_t timestamp);

} // namespace cvx::input
