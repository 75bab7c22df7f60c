// Messages the application makes, injected as coming from the generated-event port.
#pragma once

#include "core/client.h"

#include <cstdint>

namespace cvx::core {

// A message of the engine's own generators (time code, clock, sync commands): injected as
// corvexEvent type 0 is, routed with the generated-event port's masks and tracked.
void injectGenerated(CvxClient& client, uint8_t status, uint8_t data1, uint8_t data2);

} // namespace cvx::core
