// How the generators and the sync commands send a message from the generated-event port.
#pragma once

#include <cstdint>

namespace cvx::core {
struct CvxClient;
}

namespace cvx::timecode {

// The default GeneratedSender: the message, stamped with the time since StartTimeStamp,
// goes to the trackers as an injected message would.
void sendGenerated(core::CvxClient& client, uint8_t status, uint8_t data1, uint8_t data2);

} // namespace cvx::timecode
